#include "app/frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/fakes/fake_shell.h"

namespace miravue {
namespace {

void CreateRoutine() {
    fake::Shell().log.push_back("create-globals");
}
void ReleaseRoutine() {
    fake::Shell().log.push_back("release-globals");
}
void CreatedRoutine() {
    fake::Shell().log.push_back("on-created");
}

FrameRoutines CountingRoutines() {
    return FrameRoutines{
        .createGlobals = CreateRoutine,
        .releaseGlobals = ReleaseRoutine,
        .windowEvents = {.created = CreatedRoutine, .size_changed = OnMainWindowSizeChanged}};
}

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override { fake::Shell().Reset(); }
};

TEST_F(FrameTest, StartsInOrderAndReleasesOnceWhenTheWindowCloses) {
    fake::Shell().whileLoopRuns = [] { fake::Shell().log.push_back("user-closes-window"); };
    EXPECT_EQ(RunFrame(MainWindowDescription(), CountingRoutines()), 0);
    EXPECT_EQ(
        fake::Shell().log,
        (std::vector<std::string>{"create-globals", "create-window", "window-created", "on-created",
                                  "run-loop", "user-closes-window", "release-globals"}));
}

TEST_F(FrameTest, AWindowThatCannotBeCreatedShowsAnErrorAndSkipsTheLoop) {
    fake::Shell().failCreateWindow = true;
    EXPECT_EQ(RunFrame(MainWindowDescription(), CountingRoutines()), 1);
    EXPECT_EQ(fake::Shell().log, (std::vector<std::string>{"create-globals", "create-window",
                                                           "error-message", "release-globals"}));
    EXPECT_FALSE(fake::Shell().errorMessage.empty());
}

TEST_F(FrameTest, TheWindowIsBuiltFromItsDescription) {
    RunFrame(MainWindowDescription(), CountingRoutines());
    const platform::WindowDescription& made = fake::Shell().description;
    EXPECT_EQ(fake::Shell().createdCaption, "Miravue beta- (热键：F9 播放剪贴板中的地址)");
    EXPECT_EQ(made.left, 50);
    EXPECT_EQ(made.top, 50);
    EXPECT_EQ(made.width, 800);
    EXPECT_EQ(made.height, 480);
    EXPECT_EQ(made.icon_name, "miravue");
}

TEST_F(FrameTest, TheBrowserIsFiftyByFiftyUntilTheFirstSizeChange) {
    RunFrame(MainWindowDescription(), CountingRoutines());
    const platform::Rect browser = fake::Shell().description.browser;
    EXPECT_EQ(browser.left, 0);
    EXPECT_EQ(browser.top, 0);
    EXPECT_EQ(fake::Shell().browserWidth, 50);
    EXPECT_EQ(fake::Shell().browserHeight, 50);
}

struct SizeCase {
    std::int32_t width;
    std::int32_t height;
};

class SizeChangeTest : public FrameTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(SizeChangeTest, EverySizeChangeMakesTheBrowserCoverTheClientArea) {
    RunFrame(MainWindowDescription(), CountingRoutines());
    fake::Shell().log.clear();
    fake::Shell().Resize(GetParam().width, GetParam().height);
    EXPECT_EQ(fake::Shell().browserWidth, GetParam().width);
    EXPECT_EQ(fake::Shell().browserHeight, GetParam().height);
    // Width first, then height, as two steps.
    EXPECT_EQ(fake::Shell().log,
              (std::vector<std::string>{"set-width " + std::to_string(GetParam().width),
                                        "set-height " + std::to_string(GetParam().height)}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, SizeChangeTest,
                         ::testing::Values(SizeCase{800, 480}, SizeCase{1920, 1080},
                                           SizeCase{120, 30}, SizeCase{0, 0}));

TEST_F(FrameTest, TheSizeHandlerReadsTheClientRectangleNotTheOuterSize) {
    fake::Shell().mainClientRect = platform::Rect{0, 0, 784, 441};
    OnMainWindowSizeChanged();
    EXPECT_EQ(fake::Shell().browserWidth, 784);
    EXPECT_EQ(fake::Shell().browserHeight, 441);
}

}  // namespace
}  // namespace miravue
