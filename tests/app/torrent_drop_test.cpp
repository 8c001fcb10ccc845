#include "app/torrent_drop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/file_drop.h"
#include "tests/app/torrent_files.h"
#include "tests/fakes/fake_internet.h"
#include "tests/fakes/fake_shell.h"

namespace miravue {
namespace {

using testing_files::SampleA;
using testing_files::SampleB;
using testing_files::SampleC;

constexpr char kPrefix[] = "http://127.0.0.1:17380/play?u=";
constexpr char kEncodedMagnet[] = "magnet%3A%3Fxt%3Durn%3Abtih%3A";

class TorrentDropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Shell().Reset();
        fake::Internet().Reset();
        for (int i = 0; i < 8; ++i) {
            fake::Internet().responses.push_back(
                fake::MakeResponse("HTTP/1.1 200 OK", {}, kPrefix));
        }
        CurrentTorrent().emplace();
        FileDropRegistry::ClearTargets();
        FileDropRegistry().Register(fake::kBrowserWindow, OnFileDropped);
    }
    void TearDown() override {
        CurrentTorrent().reset();
        FileDropRegistry::ClearTargets();
    }

    void DropFiles(std::vector<std::string> paths) {
        fake::FakeDrop drop;
        drop.paths = std::move(paths);
        fake::Shell().Drop(fake::kBrowserWindow, std::move(drop));
    }

    static std::string Played(const std::string& infoHash) {
        return kPrefix + std::string(kEncodedMagnet) + infoHash;
    }

    testing_files::TempFolder folder;
};

TEST_F(TorrentDropTest, ADroppedTorrentPlaysItsMagnetLink) {
    const std::string path = folder.Write(SampleA().name, SampleA().contents);
    DropFiles({path});
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{Played(SampleA().infoHash)});
    ASSERT_TRUE(CurrentTorrent().has_value());
    EXPECT_EQ(CurrentTorrent()->InfoHash, SampleA().infoHash);
    EXPECT_EQ(CurrentTorrent()->Name, "a.txt");
}

TEST_F(TorrentDropTest, ThreeTorrentsPlayInDropOrderAndTheLastIsKept) {
    DropFiles({folder.Write(SampleA().name, SampleA().contents),
               folder.Write(SampleB().name, SampleB().contents),
               folder.Write(SampleC().name, SampleC().contents)});
    EXPECT_EQ(fake::Shell().navigations,
              (std::vector<std::string>{Played(SampleA().infoHash), Played(SampleB().infoHash),
                                        Played(SampleC().infoHash)}));
    EXPECT_EQ(CurrentTorrent()->InfoHash, SampleC().infoHash);
    EXPECT_EQ(fake::Internet().exchanges.size(), 3u);
}

TEST_F(TorrentDropTest, OnlyTheTorrentsOfAMixedDropPlay) {
    DropFiles({folder.Write("notes.txt", "hello"), folder.Write(SampleB().name, SampleB().contents),
               folder.Write("film.mkv", "x")});
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{Played(SampleB().infoHash)});
}

TEST_F(TorrentDropTest, AGbkPathOpensTheFileOfThatName) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows opens GBK names itself where GBK is the system code page";
#endif
    // On disk the name is in the file system's encoding; the drop hands the program GBK.
    folder.Write("\xE7\xA7\x8D\xE5\xAD\x90.torrent", SampleA().contents);  // 种子 in UTF-8
    DropFiles({folder.path().string() + "/\xD6\xD6\xD7\xD3.torrent"});     // 种子 in GBK
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{Played(SampleA().infoHash)});
}

TEST_F(TorrentDropTest, TheExtensionComparisonIsCaseSensitive) {
    DropFiles({folder.Write("a.TORRENT", SampleA().contents),
               folder.Write("a.Torrent", SampleA().contents)});
    EXPECT_TRUE(fake::Shell().navigations.empty());
    EXPECT_TRUE(fake::Internet().exchanges.empty());
    EXPECT_EQ(CurrentTorrent()->InfoHash, "");
}

TEST_F(TorrentDropTest, AFolderNamedLikeATorrentPlaysTheBareMagnetPrefix) {
    const std::filesystem::path dir = folder.path() / "x.torrent";
    std::filesystem::create_directory(dir);
    DropFiles({folder.Write(SampleA().name, SampleA().contents), dir.string()});
    EXPECT_EQ(fake::Shell().navigations,
              (std::vector<std::string>{Played(SampleA().infoHash), Played("")}));
    // The failed read replaced the record: the last drop is the one kept.
    EXPECT_EQ(CurrentTorrent()->InfoHash, "");
}

TEST_F(TorrentDropTest, ATorrentThatCannotBeReadPlaysTheBareMagnetPrefix) {
    DropFiles({(folder.path() / "missing.torrent").string()});
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{Played("")});
}

TEST_F(TorrentDropTest, OtherPathsThatAreNoTorrentsAreIgnored) {
    DropFiles({folder.Write("file", "x"), folder.Write("file.", "x"),
               (folder.path() / "x.y" / "file").string()});
    EXPECT_TRUE(fake::Shell().navigations.empty());
}

}  // namespace
}  // namespace miravue
