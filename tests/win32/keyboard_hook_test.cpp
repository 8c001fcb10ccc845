// The low-level hook sees injected keys with the system's event layout and flags, and passes
// them on.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "message_pump.h"
#include "platform/keyboard_hook.h"

namespace {

using miravue::platform::KeyEvent;

struct Seen {
    std::int32_t code;
    std::uintptr_t wparam;
    KeyEvent event;
};

std::vector<Seen>& SeenEvents() {
    static std::vector<Seen> seen;
    return seen;
}

miravue::platform::HookHandle& Hook() {
    static miravue::platform::HookHandle hook = 0;
    return hook;
}

std::intptr_t MIRAVUE_CALLBACK Record(std::int32_t code, std::uintptr_t wparam,
                                      const KeyEvent* event) {
    if (code == miravue::platform::kHookAction && event != nullptr) {
        SeenEvents().push_back(Seen{code, wparam, *event});
    }
    return miravue::platform::CallNextKeyboardHook(Hook(), code, wparam, event);
}

void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

TEST(KeyboardHook, SeesInjectedF9PressAndReleaseWithTheirFlags) {
    Hook() = miravue::platform::SetKeyboardHook(Record);
    ASSERT_NE(Hook(), 0u);
    SeenEvents().clear();
    SendKey(VK_F9, false);
    SendKey(VK_F9, true);
    ASSERT_TRUE(miravue::test::PumpUntil([] { return SeenEvents().size() >= 2; }));
    const Seen& press = SeenEvents()[0];
    const Seen& release = SeenEvents()[1];
    EXPECT_EQ(press.event.vkCode, 120u);
    EXPECT_EQ(press.wparam, miravue::platform::kKeyDownMessage);
    EXPECT_EQ(press.event.flags & miravue::platform::kKeyFlagUp, 0u);
    EXPECT_NE(press.event.flags & miravue::platform::kKeyFlagInjected, 0u);
    EXPECT_LT(static_cast<std::int32_t>(press.event.flags), 35);
    EXPECT_EQ(release.event.vkCode, 120u);
    EXPECT_EQ(release.wparam, miravue::platform::kKeyUpMessage);
    EXPECT_GT(static_cast<std::int32_t>(release.event.flags), 127);
}

TEST(KeyboardHook, RefusesNoProcedure) {
    EXPECT_EQ(miravue::platform::SetKeyboardHook(nullptr), 0u);
}

}  // namespace
