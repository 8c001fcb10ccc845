// Torrents made at test time by real tools (mktorrent, transmission-create) read to the
// same info hash, name, piece count and file list that transmission-show reports.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "test_files.h"
#include "torrent/torrent_file_info.h"

namespace miravue {
namespace {

struct ShowReport {
    std::string name;
    std::string hash;
    int piece_count = -1;
    std::vector<std::string> files;  // as listed: "name/dir/file"
};

// Parses the GENERAL and FILES sections of transmission-show's output.
ShowReport ParseShow(const std::string& text) {
    ShowReport report;
    std::istringstream lines(text);
    std::string line;
    bool in_files = false;
    while (std::getline(lines, line)) {
        if (line == "FILES") {
            in_files = true;
            continue;
        }
        if (in_files) {
            // "  name/dir/file (1.00 kB)"
            const auto open = line.rfind(" (");
            if (line.rfind("  ", 0) == 0 && open != std::string::npos) {
                report.files.push_back(line.substr(2, open - 2));
            }
            continue;
        }
        auto value = [&line](std::string_view label) -> std::optional<std::string> {
            const std::string prefix = "  " + std::string(label) + ": ";
            if (line.rfind(prefix, 0) == 0) {
                return line.substr(prefix.size());
            }
            return std::nullopt;
        };
        if (auto v = value("Name")) {
            report.name = *v;
        } else if (auto v2 = value("Hash")) {
            report.hash = *v2;
        } else if (auto v3 = value("Piece Count")) {
            report.piece_count = std::stoi(*v3);
        }
    }
    return report;
}

class InteropTest : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        content_ = dir_.path() + "/Content Dir";
        Write("a.txt", 1000);
        Write("sub/b.bin", 70000);
        Write("sub/c d.txt", 3);
        Write("sub/deeper/\xe4\xb8\xad\xe6\x96\x87.dat", 40000);
        Write("empty.txt", 0);
    }

    void Write(const std::string& relative, std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>((i * 131 + relative.size()) & 0xff);
        }
        dir_.Write("Content Dir/" + relative, bytes);
        std::string path = "\\" + relative;
        std::replace(path.begin(), path.end(), '/', '\\');
        sizes_.emplace_back(path, size);
    }

    // Makes a torrent of `target` with the tool under test and gives its path.
    std::string MakeTorrent(const std::string& target, const std::string& out_name) {
        const std::string out = dir_.path() + "/" + out_name;
        std::string command;
        if (GetParam() == "mktorrent") {
            command = "mktorrent -t 1 -l 15 -a http://127.0.0.1:6969/announce -c 'a comment' -o " +
                      test::ShellQuote(out) + " " + test::ShellQuote(target);
        } else {
            command =
                "transmission-create -s 32 -t http://127.0.0.1:6969/announce -c 'a comment' -o " +
                test::ShellQuote(out) + " " + test::ShellQuote(target);
        }
        const auto result = test::RunCommand(command + " 2>&1");
        EXPECT_EQ(result.status, 0) << command << "\n" << result.out;
        return out;
    }

    ShowReport Show(const std::string& torrent) {
        const auto result = test::RunCommand("transmission-show " + test::ShellQuote(torrent));
        EXPECT_EQ(result.status, 0) << result.out;
        return ParseShow(result.out);
    }

    test::ScratchDir dir_;
    std::string content_;
    std::vector<std::pair<std::string, std::int64_t>> sizes_;
};

TEST_P(InteropTest, MultiFileTorrentMatchesTransmissionShow) {
    const std::string torrent = MakeTorrent(content_, "multi.torrent");
    const ShowReport report = Show(torrent);
    ASSERT_EQ(report.hash.size(), 40u);

    const TorrentFileInfo record = ReadTorrentFile(torrent);
    EXPECT_EQ(record.InfoHash, report.hash);
    EXPECT_EQ(record.Name, report.name);
    EXPECT_EQ(record.PieceCount, report.piece_count);
    EXPECT_EQ(record.Trackers, "127.0.0.1:6969;");
    EXPECT_EQ(record.Comment, "a comment");

    // transmission-show writes "name/dir/file"; the record holds "\dir\file".
    std::vector<std::string> shown;
    for (const std::string& file : report.files) {
        ASSERT_EQ(file.rfind(report.name + "/", 0), 0u) << file;
        std::string path = file.substr(report.name.size());
        std::replace(path.begin(), path.end(), '/', '\\');
        shown.push_back(path);
    }
    std::vector<std::string> read = record.FilePaths;
    std::sort(shown.begin(), shown.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, shown);

    // Sizes against the files on disk, pair by pair.
    ASSERT_EQ(record.FileSizes.size(), record.FilePaths.size());
    std::vector<std::pair<std::string, std::int64_t>> listed;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < record.FilePaths.size(); ++i) {
        listed.emplace_back(record.FilePaths[i], record.FileSizes[i]);
        total += record.FileSizes[i];
    }
    std::sort(listed.begin(), listed.end());
    auto expected = sizes_;
    std::sort(expected.begin(), expected.end());
    // Some tools leave empty files out of the torrent.
    if (listed.size() + 1 == expected.size()) {
        expected.erase(std::remove_if(expected.begin(), expected.end(),
                                      [](const auto& entry) { return entry.second == 0; }),
                       expected.end());
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(record.TotalSize, total);
}

TEST_P(InteropTest, SingleFileTorrentMatchesTransmissionShow) {
    const std::string torrent = MakeTorrent(content_ + "/sub/b.bin", "single.torrent");
    const ShowReport report = Show(torrent);
    const TorrentFileInfo record = ReadTorrentFile(torrent);
    EXPECT_EQ(record.InfoHash, report.hash);
    EXPECT_EQ(record.Name, "b.bin");
    EXPECT_EQ(record.PieceCount, report.piece_count);
    EXPECT_EQ(record.TotalSize, 70000);
    EXPECT_TRUE(record.FilePaths.empty());
    EXPECT_EQ(record.PieceLength, 32768);
}

INSTANTIATE_TEST_SUITE_P(Tools, InteropTest,
                         testing::Values(std::string("mktorrent"),
                                         std::string("transmission_create")),
                         [](const auto& test_case) { return test_case.param; });

}  // namespace
}  // namespace miravue
