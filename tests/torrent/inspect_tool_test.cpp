// The miravue-torrent command, run as a user runs it.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "test_files.h"
#include "torrent/sha1.h"

namespace miravue {
namespace {

std::string S(std::string_view bytes) {
    return std::to_string(bytes.size()) + ":" + std::string(bytes);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class InspectToolTest : public testing::Test {
  protected:
    test::CommandResult Run(const std::string& args) {
        return test::RunCommand("TZ=UTC " + test::ShellQuote(MIRAVUE_TORRENT_TOOL) + " " + args +
                                " 2>" + test::ShellQuote(dir_.path() + "/stderr"));
    }
    std::string Stderr() const {
        const auto result = test::RunCommand("cat " + test::ShellQuote(dir_.path() + "/stderr"));
        return result.out;
    }

    test::ScratchDir dir_;
};

TEST_F(InspectToolTest, JsonLinePerFileWithEveryField) {
    const std::string info = "d" + S("files") + "ld" + S("length") + "i5e" + S("path") + "l" +
                             S("d") + S("\xe4\xb8\xad.txt") + "eed" + S("length") + "i7e" +
                             S("path") + "l" + S("b\xff") + "eee" + S("name") + S("top") +
                             S("piece length") + "i16384e" + S("pieces") + S(std::string(41, 'x')) +
                             "e";
    const std::string torrent = "d" + S("announce") + S("http://h:1/a") + S("comment") +
                                S("say \"hi\"\n") + S("created by") + S("me") + S("creation date") +
                                "i86400e" + S("info") + info + "e";
    const std::string path = dir_.Write("t.torrent", torrent);
    const std::string hash =
        Sha1Hex(reinterpret_cast<const std::uint8_t*>(info.data()), info.size());

    const auto result = Run("--json " + test::ShellQuote(path));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "{\"path\":\"" + path +
                  "\",\"trackers\":\"h:1;\",\"comment\":\"say \\\"hi\\\"\\n\","
                  "\"created_by\":\"me\",\"name\":\"top\",\"total_size\":12,"
                  "\"piece_length\":16384,\"piece_count\":3,\"file_sizes\":[5,7],"
                  "\"file_paths\":[\"\\\\d\\\\\xe4\xb8\xad.txt\",\"\\\\b\\u00ff\"],"
                  "\"info_hash\":\"" +
                  hash + "\",\"creation_date\":25570,\"magnet\":\"magnet:?xt=urn:btih:" + hash +
                  "\"}\n");
    EXPECT_EQ(Stderr(), "");
}

TEST_F(InspectToolTest, BadFilesPrintEmptyRecordsAndFailTheRun) {
    const std::string good = dir_.Write("good.torrent", "d" + S("info") + "de" + "e");
    const std::string bad = dir_.Write("bad.torrent", "li1ee");
    const std::string missing = dir_.path() + "/missing.torrent";
    const auto result = Run("--json " + test::ShellQuote(bad) + " " + test::ShellQuote(missing) +
                            " " + test::ShellQuote(good));
    EXPECT_EQ(result.status, 1);
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("\"info_hash\":\"\""), std::string::npos);
    EXPECT_NE(lines[0].find("\"creation_date\":-657434"), std::string::npos);
    EXPECT_NE(lines[1].find("\"path\":\"" + missing + "\""), std::string::npos);
    EXPECT_NE(lines[2].find("\"info_hash\":\"" +
                            Sha1Hex(reinterpret_cast<const std::uint8_t*>("de"), 2) + "\""),
              std::string::npos);
    const std::string errors = Stderr();
    EXPECT_NE(errors.find(bad + ": not a torrent"), std::string::npos) << errors;
    EXPECT_NE(errors.find(missing + ": cannot open"), std::string::npos) << errors;
    EXPECT_EQ(errors.find(good), std::string::npos) << errors;
}

TEST_F(InspectToolTest, ReadsFilesWithNonAsciiNames) {
    const std::string path =
        dir_.Write("\xe4\xb8\xad\xe6\x96\x87.torrent", "d" + S("info") + "de" + "e");
    const auto result = Run("--json " + test::ShellQuote(path));
    EXPECT_EQ(result.status, 0) << Stderr();
    EXPECT_NE(result.out.find("\"path\":\"" + path + "\""), std::string::npos);
    EXPECT_NE(result.out.find(Sha1Hex(reinterpret_cast<const std::uint8_t*>("de"), 2)),
              std::string::npos);
}

TEST_F(InspectToolTest, PlainOutputForPeople) {
    const std::string path =
        dir_.Write("t.torrent", "d" + S("creation date") + "i1700000000e" + S("info") + "d" +
                                    S("name") + S("movie") + "ee");
    const auto result = Run(test::ShellQuote(path));
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("Name:          movie\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Magnet:        magnet:?xt=urn:btih:"), std::string::npos);
    EXPECT_NE(result.out.find("Creation date: 2023-11-14 22:13:20"), std::string::npos)
        << result.out;
}

TEST_F(InspectToolTest, NoFilesIsAUsageError) {
    const auto result = Run("");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(Stderr().find("usage: miravue-torrent"), std::string::npos);
}

}  // namespace
}  // namespace miravue
