#include "app/wiring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/file_drop.h"
#include "app/frame.h"
#include "app/keyboard_hook.h"
#include "app/main_window.h"
#include "app/play.h"
#include "app/torrent_drop.h"
#include "tests/app/torrent_files.h"
#include "tests/fakes/fake_internet.h"
#include "tests/fakes/fake_shell.h"

namespace miravue {
namespace {

constexpr char kPrefix[] = "http://127.0.0.1:17380/play?u=";

std::ptrdiff_t IndexOf(const std::vector<std::string>& log, const std::string& entry) {
    const auto found = std::find(log.begin(), log.end(), entry);
    return found == log.end() ? -1 : found - log.begin();
}

class WiringTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Shell().Reset();
        fake::Internet().Reset();
        TheKeyboardHook() = KeyboardHookState{};
        fake::Internet().responses.push_back(fake::MakeResponse("HTTP/1.1 200 OK", {}, kPrefix));
    }
    void TearDown() override { ReleaseGlobals(); }
};

TEST_F(WiringTest, CreateGlobalsMakesTheRegistryAndAnEmptyCurrentTorrent) {
    CreateGlobals();
    EXPECT_NE(DropRegistry(), nullptr);
    ASSERT_TRUE(CurrentTorrent().has_value());
    EXPECT_EQ(*CurrentTorrent(), TorrentFileInfo{});
    EXPECT_TRUE(FileDropRegistry::Targets().empty());
}

TEST_F(WiringTest, TheDropTargetIsRegisteredBeforeTheHookIsInstalled) {
    CreateGlobals();
    OnMainWindowCreated();
    const std::vector<std::string>& log = fake::Shell().log;
    const std::ptrdiff_t accept = IndexOf(log, "accept-files 8192 1");
    const std::ptrdiff_t hook = IndexOf(log, "set-hook");
    ASSERT_NE(accept, -1);
    ASSERT_NE(hook, -1);
    EXPECT_LT(accept, hook);
    EXPECT_EQ(FileDropRegistry::Targets().size(), 1u);
    EXPECT_EQ(FileDropRegistry::Targets()[0].window, fake::kBrowserWindow);
    EXPECT_EQ(FileDropRegistry::Targets()[0].callback, &OnFileDropped);
    EXPECT_EQ(TheKeyboardHook().keyCallback, &OnHotkey);
}

TEST_F(WiringTest, F9ReachesThePlayCommandOnceWired) {
    CreateGlobals();
    OnMainWindowCreated();
    fake::Shell().clipboard = "abc def";
    fake::Shell().Key(120, 0);
    fake::Shell().RunPosted();
    EXPECT_EQ(fake::Shell().navigations,
              std::vector<std::string>{std::string(kPrefix) + "abc%20def"});
}

TEST_F(WiringTest, AHookThatCannotBeInstalledLeavesDropsWorkingAndF9Silent) {
    fake::Shell().failHook = true;
    CreateGlobals();
    OnMainWindowCreated();
    fake::Shell().Key(120, 0);  // no hook: the platform calls nobody
    EXPECT_TRUE(fake::Shell().posted.empty());

    testing_files::TempFolder folder;
    const auto& sample = testing_files::SampleA();
    fake::FakeDrop drop;
    drop.paths = {folder.Write(sample.name, sample.contents)};
    fake::Shell().Drop(fake::kBrowserWindow, std::move(drop));
    EXPECT_EQ(fake::Shell().navigations,
              std::vector<std::string>{std::string(kPrefix) + "magnet%3A%3Fxt%3Durn%3Abtih%3A" +
                                       sample.infoHash});
}

TEST_F(WiringTest, ReleaseGlobalsFreesEverythingWhetherOrNotATorrentWasDropped) {
    CreateGlobals();
    OnMainWindowCreated();
    ReleaseGlobals();
    EXPECT_EQ(DropRegistry(), nullptr);
    EXPECT_FALSE(CurrentTorrent().has_value());
    EXPECT_TRUE(FileDropRegistry::Targets().empty());

    CreateGlobals();
    OnMainWindowCreated();
    testing_files::TempFolder folder;
    fake::FakeDrop drop;
    drop.paths = {folder.Write(testing_files::SampleB().name, testing_files::SampleB().contents)};
    fake::Shell().Drop(fake::kBrowserWindow, std::move(drop));
    ASSERT_EQ(CurrentTorrent()->InfoHash, testing_files::SampleB().infoHash);
    ReleaseGlobals();
    EXPECT_FALSE(CurrentTorrent().has_value());
    EXPECT_TRUE(FileDropRegistry::Targets().empty());
}

TEST_F(WiringTest, TheProgramRunsItsRoutinesAtTheFrameFixedPoints) {
    fake::Shell().whileLoopRuns = [] {
        // While the window is open, the globals exist and the browser is wired.
        EXPECT_NE(DropRegistry(), nullptr);
        EXPECT_TRUE(CurrentTorrent().has_value());
        EXPECT_EQ(FileDropRegistry::FindTarget(fake::kBrowserWindow), 1);
        fake::Shell().Resize(640, 360);
    };
    EXPECT_EQ(RunFrame(MainWindowDescription(), ProgramRoutines()), 0);
    EXPECT_EQ(fake::Shell().browserWidth, 640);
    EXPECT_EQ(fake::Shell().browserHeight, 360);
    // Released when the loop ended.
    EXPECT_EQ(DropRegistry(), nullptr);
    EXPECT_FALSE(CurrentTorrent().has_value());
}

}  // namespace
}  // namespace miravue
