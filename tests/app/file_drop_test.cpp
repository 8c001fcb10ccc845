#include "app/file_drop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_shell.h"

namespace miravue {
namespace {

using fake::kBrowserWindow;
using fake::kMainWindow;

struct Reported {
    std::int32_t count;
    std::int32_t index;
    std::string path;
    std::string extension;
    friend bool operator==(const Reported&, const Reported&) = default;
};

std::vector<Reported>& Reports() {
    static std::vector<Reported> reports;
    return reports;
}

std::int32_t RecordFile(std::int32_t count, std::int32_t index, const Text& path,
                        const Text& extension) {
    Reports().push_back({count, index, path, extension});
    return 0;
}

std::int32_t OtherCallback(std::int32_t, std::int32_t, const Text&, const Text&) {
    fake::Shell().log.push_back("other-callback");
    return 0;
}

std::int32_t UnregisterOnFirstFile(std::int32_t count, std::int32_t index, const Text& path,
                                   const Text& extension) {
    RecordFile(count, index, path, extension);
    if (index == 1) {
        FileDropRegistry().Unregister(kBrowserWindow);
    }
    return 0;
}

fake::FakeDrop DropOf(std::vector<std::string> paths, std::vector<std::uint32_t> unreadable = {}) {
    fake::FakeDrop drop;
    drop.paths = std::move(paths);
    drop.unreadable = std::move(unreadable);
    return drop;
}

class FileDropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Shell().Reset();
        FileDropRegistry::ClearTargets();
        Reports().clear();
    }
    void TearDown() override { FileDropRegistry::ClearTargets(); }

    FileDropRegistry registry;
};

TEST_F(FileDropTest, RegisterAcceptsFilesAndTakesOverTheWindowProcedure) {
    registry.Register(kBrowserWindow, RecordFile);
    EXPECT_EQ(fake::Shell().log,
              (std::vector<std::string>{"accept-files 8192 1", "set-procedure 8192"}));
    EXPECT_EQ(fake::Shell().procedures[kBrowserWindow], &FileDropRegistry::DropWindowProc);
    EXPECT_EQ(FileDropRegistry::SavedWindowProc(), &fake::OriginalWindowProcedure);
    EXPECT_EQ(FileDropRegistry::FindTarget(kBrowserWindow), 1);
    EXPECT_EQ(FileDropRegistry::FindTarget(kMainWindow), 0);
}

TEST_F(FileDropTest, SecondRegistrationKeepsOneRecordAndTheFirstCallback) {
    registry.Register(kBrowserWindow, RecordFile);
    FileDropRegistry().Register(kBrowserWindow, OtherCallback);
    EXPECT_EQ(FileDropRegistry::Targets().size(), 1u);
    EXPECT_EQ(FileDropRegistry::Targets()[0].callback, &RecordFile);
    EXPECT_EQ(fake::Shell().log.size(), 2u);  // no second accept, no second takeover
    // The saved procedure is still the window's own, not DropWindowProc itself.
    EXPECT_EQ(FileDropRegistry::SavedWindowProc(), &fake::OriginalWindowProcedure);
}

TEST_F(FileDropTest, InstancesShareOneTargetListInRegistrationOrder) {
    registry.Register(kBrowserWindow, RecordFile);
    FileDropRegistry copy = registry;
    copy.Register(kMainWindow, OtherCallback);
    EXPECT_EQ(FileDropRegistry::FindTarget(kBrowserWindow), 1);
    EXPECT_EQ(FileDropRegistry::FindTarget(kMainWindow), 2);
    registry.Unregister(kBrowserWindow);
    EXPECT_EQ(FileDropRegistry::FindTarget(kMainWindow), 1);
}

TEST_F(FileDropTest, UnregisterUndoesRegister) {
    registry.Register(kBrowserWindow, RecordFile);
    fake::Shell().log.clear();
    registry.Unregister(kBrowserWindow);
    EXPECT_EQ(FileDropRegistry::FindTarget(kBrowserWindow), 0);
    EXPECT_EQ(fake::Shell().log,
              (std::vector<std::string>{"accept-files 8192 0", "set-procedure 8192"}));
    EXPECT_EQ(fake::Shell().procedures[kBrowserWindow], &fake::OriginalWindowProcedure);
}

TEST_F(FileDropTest, UnregisteringAnUnknownWindowDoesNothing) {
    registry.Register(kBrowserWindow, RecordFile);
    fake::Shell().log.clear();
    registry.Unregister(kMainWindow);
    EXPECT_TRUE(fake::Shell().log.empty());
    EXPECT_EQ(FileDropRegistry::Targets().size(), 1u);
}

TEST_F(FileDropTest, OtherMessagesGoToTheReplacedProcedureUnchanged) {
    registry.Register(kBrowserWindow, RecordFile);
    const std::intptr_t result =
        fake::Shell().procedures[kBrowserWindow](kBrowserWindow, 0x0005, 17, -3);
    EXPECT_EQ(result, fake::Shell().originalProcedureResult);
    ASSERT_EQ(fake::Shell().originalMessages.size(), 1u);
    const fake::WindowMessage& message = fake::Shell().originalMessages[0];
    EXPECT_EQ(message.window, kBrowserWindow);
    EXPECT_EQ(message.message, 0x0005u);
    EXPECT_EQ(message.wparam, 17u);
    EXPECT_EQ(message.lparam, -3);
}

TEST_F(FileDropTest, TheDropMessageIsHandledAndNotPassedOn) {
    registry.Register(kBrowserWindow, RecordFile);
    EXPECT_EQ(fake::Shell().Drop(kBrowserWindow, DropOf({"C:\\a.torrent"})), 1);
    EXPECT_TRUE(fake::Shell().originalMessages.empty());
    EXPECT_EQ(Reports(), (std::vector<Reported>{{1, 1, "C:\\a.torrent", "torrent"}}));
    EXPECT_EQ(fake::Shell().LastDrop().finishCalls, 1u);
}

TEST_F(FileDropTest, EveryFileIsReportedInDropOrderThenTheDropIsFinished) {
    registry.Register(kBrowserWindow, RecordFile);
    fake::Shell().Drop(kBrowserWindow,
                       DropOf({"D:\\v\\a.torrent", "D:\\v\\b.mkv", "D:\\v\\c.torrent"}));
    EXPECT_EQ(Reports(), (std::vector<Reported>{{3, 1, "D:\\v\\a.torrent", "torrent"},
                                                {3, 2, "D:\\v\\b.mkv", "mkv"},
                                                {3, 3, "D:\\v\\c.torrent", "torrent"}}));
    EXPECT_EQ(fake::Shell().log.back(), "finish-drop");
}

TEST_F(FileDropTest, AFileTheDropDoesNotYieldIsSkipped) {
    registry.Register(kBrowserWindow, RecordFile);
    fake::Shell().Drop(kBrowserWindow, DropOf({"a.torrent", "b.torrent", "c.torrent"}, {1}));
    EXPECT_EQ(Reports(), (std::vector<Reported>{{3, 1, "a.torrent", "torrent"},
                                                {3, 3, "c.torrent", "torrent"}}));
    EXPECT_EQ(fake::Shell().LastDrop().finishCalls, 1u);
}

TEST_F(FileDropTest, ADropOnAnUnregisteredWindowIsLeftAlone) {
    registry.Register(kMainWindow, RecordFile);
    fake::Shell().lastDrop = DropOf({"a.torrent"});
    FileDropRegistry::HandleDroppedFiles(
        reinterpret_cast<platform::DropHandle>(&fake::Shell().lastDrop), kBrowserWindow);
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(fake::Shell().LastDrop().finishCalls, 0u);
}

TEST_F(FileDropTest, LongPathsAreCutTo259Bytes) {
    registry.Register(kBrowserWindow, RecordFile);
    const std::string longPath = "C:\\" + std::string(300, 'x') + ".torrent";
    fake::Shell().Drop(kBrowserWindow, DropOf({longPath}));
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].path, longPath.substr(0, 259));
    // The cut took the dot away, so the whole (cut) path is its own extension.
    EXPECT_EQ(Reports()[0].extension, longPath.substr(0, 259));
}

TEST_F(FileDropTest, ACallbackUnregisteringItsWindowStillGetsTheRestOfTheDrop) {
    registry.Register(kBrowserWindow, UnregisterOnFirstFile);
    fake::Shell().Drop(kBrowserWindow, DropOf({"a.torrent", "b.torrent"}));
    EXPECT_EQ(Reports().size(), 2u);
    EXPECT_EQ(FileDropRegistry::FindTarget(kBrowserWindow), 0);
    EXPECT_EQ(fake::Shell().LastDrop().finishCalls, 1u);
}

struct ExtensionCase {
    const char* name;
    std::string path;
    std::string extension;
};

class ExtensionTest : public FileDropTest, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(ExtensionTest, ExtensionIsWhatFollowsTheLastDot) {
    registry.Register(kBrowserWindow, RecordFile);
    fake::Shell().Drop(kBrowserWindow, DropOf({GetParam().path}));
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].path, GetParam().path);
    EXPECT_EQ(Reports()[0].extension, GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExtensionTest,
    ::testing::Values(ExtensionCase{"Torrent", "D:\\v\\a.torrent", "torrent"},
                      ExtensionCase{"UpperCaseKeptAsItIs", "a.TORRENT", "TORRENT"},
                      ExtensionCase{"LastDotWins", "D:\\a.b.torrent", "torrent"},
                      ExtensionCase{"NoDotGivesTheWholePath", "D:\\v\\file", "D:\\v\\file"},
                      ExtensionCase{"TrailingDotGivesEmpty", "D:\\v\\file.", ""},
                      ExtensionCase{"DotInAFolderName", "D:\\x.y\\file", "y\\file"},
                      ExtensionCase{"FolderNamedLikeATorrent", "D:\\v\\x.torrent", "torrent"},
                      // 0x81 0x2E is one double-byte character: its second byte is no dot.
                      ExtensionCase{"DotInsideADoubleByteCharacter", "D:\\a.b\x81.", "b\x81."},
                      ExtensionCase{"GbkName", "D:\\\xD6\xD0\xCE\xC4.torrent", "torrent"}),
    [](const ::testing::TestParamInfo<ExtensionCase>& param) { return param.param.name; });

}  // namespace
}  // namespace miravue
