#include "app/keyboard_hook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/fakes/fake_shell.h"

namespace miravue {
namespace {

using platform::kKeyFlagAltDown;
using platform::kKeyFlagExtended;
using platform::kKeyFlagInjected;
using platform::kKeyFlagLowerIlInjected;
using platform::kKeyFlagUp;

struct Report {
    std::int32_t modifier;
    std::int32_t vkCode;
    std::int32_t third;
    friend bool operator==(const Report&, const Report&) = default;
};

std::vector<Report>& Reports() {
    static std::vector<Report> reports;
    return reports;
}

void RecordKey(std::int32_t modifier, std::int32_t vkCode, std::int32_t third) {
    Reports().push_back({modifier, vkCode, third});
    fake::Shell().log.push_back("callback");
}

void OtherCallback(std::int32_t, std::int32_t, std::int32_t) {
    fake::Shell().log.push_back("other-callback");
}

class KeyboardHookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Shell().Reset();
        TheKeyboardHook() = KeyboardHookState{};
        Reports().clear();
    }
};

struct KeyStep {
    std::uint32_t vkCode;
    std::uint32_t flags;
};

struct SequenceCase {
    const char* name;
    std::vector<KeyStep> steps;
    std::vector<Report> expected;
};

class KeySequenceTest : public KeyboardHookTest,
                        public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(KeySequenceTest, ReportsPressesWithTheModifierPressedLast) {
    InstallKeyboardHook(RecordKey);
    for (const KeyStep& step : GetParam().steps) {
        fake::Shell().Key(step.vkCode, step.flags);
    }
    EXPECT_EQ(Reports(), GetParam().expected);
    // Every event, reported or not, went on to the next hook.
    EXPECT_EQ(fake::Shell().nextHookCalls.size(), GetParam().steps.size());
}

constexpr std::uint32_t kUp = kKeyFlagUp;
constexpr std::uint32_t kF9 = 120;

INSTANTIATE_TEST_SUITE_P(
    Sequences, KeySequenceTest,
    ::testing::Values(
        SequenceCase{"LeftCtrlReportsItselfWithItsCode", {{162, 0}}, {{17, 162, 0}}},
        SequenceCase{"PlainF9", {{kF9, 0}}, {{0, 120, 0}}},
        SequenceCase{"ReleaseOfAnyModifierClearsTheCode",
                     {{162, 0}, {160, 0}, {160, kUp}, {kF9, 0}},
                     {{17, 162, 0}, {16, 160, 0}, {0, 120, 0}}},
        SequenceCase{"OnlyTheLastModifierCounts",
                     {{160, 0}, {162, 0}, {kF9, 0}},
                     {{16, 160, 0}, {17, 162, 0}, {17, 120, 0}}},
        SequenceCase{"HeldF9ReportsEveryRepeat",
                     {{163, kKeyFlagExtended}, {kF9, 0}, {kF9, 0}, {kF9, 0}},
                     {{17, 163, 0}, {17, 120, 0}, {17, 120, 0}, {17, 120, 0}}},
        SequenceCase{"ReleasingOtherKeysKeepsTheCode",
                     {{164, kKeyFlagAltDown},
                      {65, kKeyFlagAltDown},
                      {65, kUp | kKeyFlagAltDown},
                      {kF9, kKeyFlagAltDown}},
                     {{18, 164, 0}, {18, 65, 0}, {18, 120, 0}}},
        SequenceCase{"RightKeysGiveThePairsCode",
                     {{161, 0}, {165, kKeyFlagExtended | kKeyFlagAltDown}, {92, kKeyFlagExtended}},
                     {{16, 161, 0}, {18, 165, 0}, {91, 92, 0}}},
        SequenceCase{"InjectedPressesAreReported",
                     {{kF9, kKeyFlagInjected},
                      {kF9, kKeyFlagInjected | kKeyFlagLowerIlInjected},
                      {91, kKeyFlagExtended | kKeyFlagInjected}},
                     {{0, 120, 0}, {0, 120, 0}, {91, 91, 0}}},
        SequenceCase{"InjectedPressWhileAltHeldIsIgnored",
                     {{162, 0},
                      {kF9, kKeyFlagInjected | kKeyFlagAltDown},
                      {164, kKeyFlagInjected | kKeyFlagAltDown | kKeyFlagExtended},
                      {kF9, 51},
                      {kF9, 0}},
                     {{17, 162, 0}, {17, 120, 0}}},
        SequenceCase{"FlagsBetweenTheThresholdsDoNothing",
                     {{160, 34}, {162, 35}, {kF9, 127}, {160, 128}, {kF9, 0}},
                     {{16, 160, 0}, {0, 120, 0}}},
        SequenceCase{"ReleasesNeverReport", {{kF9, kUp}, {162, kUp}, {65, kUp | 1}}, {}}),
    [](const ::testing::TestParamInfo<SequenceCase>& param) { return param.param.name; });

TEST_F(KeyboardHookTest, CallbackRunsBeforeTheEventIsPassedOnWithItsOwnArguments) {
    InstallKeyboardHook(RecordKey);
    fake::Shell().log.clear();
    platform::KeyEvent event;
    event.vkCode = kF9;
    event.scanCode = 67;
    event.time = 1234;
    const std::intptr_t result =
        fake::Shell().hookProcedure(0, platform::kSysKeyDownMessage, &event);
    EXPECT_EQ(fake::Shell().log, (std::vector<std::string>{"callback", "next-hook"}));
    ASSERT_EQ(fake::Shell().nextHookCalls.size(), 1u);
    const fake::NextHookCall& next = fake::Shell().nextHookCalls[0];
    EXPECT_EQ(next.hook, fake::kHookHandle);
    EXPECT_EQ(next.code, 0);
    EXPECT_EQ(next.wparam, platform::kSysKeyDownMessage);
    EXPECT_EQ(next.event, &event);
    EXPECT_EQ(result, 42);  // the chain's answer comes back unchanged
}

TEST_F(KeyboardHookTest, OtherCodesArePassedOnUntouched) {
    InstallKeyboardHook(RecordKey);
    fake::Shell().Key(162, 0);
    for (std::int32_t code : {3, -1, 1}) {
        fake::Shell().Key(160, 0, code);
        fake::Shell().Key(162, kUp, code);
        fake::Shell().Key(kF9, 0, code);
    }
    EXPECT_EQ(TheKeyboardHook().currentModifier, 17);
    fake::Shell().Key(kF9, 0);
    EXPECT_EQ(Reports(), (std::vector<Report>{{17, 162, 0}, {17, 120, 0}}));
    ASSERT_EQ(fake::Shell().nextHookCalls.size(), 11u);
    EXPECT_EQ(fake::Shell().nextHookCalls[1].code, 3);
    EXPECT_EQ(fake::Shell().nextHookCalls[4].code, -1);
}

TEST_F(KeyboardHookTest, SecondInstallChangesNothing) {
    InstallKeyboardHook(RecordKey);
    InstallKeyboardHook(OtherCallback);
    fake::Shell().Key(kF9, 0);
    EXPECT_EQ(std::count(fake::Shell().log.begin(), fake::Shell().log.end(), "set-hook"), 1);
    EXPECT_EQ(Reports(), (std::vector<Report>{{0, 120, 0}}));
    EXPECT_EQ(std::count(fake::Shell().log.begin(), fake::Shell().log.end(), "other-callback"), 0);
}

TEST_F(KeyboardHookTest, FailedInstallLeavesNoHookAndTheNextInstallTriesWithItsCallback) {
    fake::Shell().failHook = true;
    InstallKeyboardHook(OtherCallback);
    EXPECT_EQ(TheKeyboardHook().hookHandle, 0u);
    fake::Shell().failHook = false;
    InstallKeyboardHook(RecordKey);
    EXPECT_EQ(TheKeyboardHook().hookHandle, fake::kHookHandle);
    fake::Shell().Key(kF9, 0);
    EXPECT_EQ(Reports(), (std::vector<Report>{{0, 120, 0}}));
    EXPECT_EQ(std::count(fake::Shell().log.begin(), fake::Shell().log.end(), "set-hook"), 2);
}

}  // namespace
}  // namespace miravue
