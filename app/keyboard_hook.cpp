#include "app/keyboard_hook.h"

#include <array>

namespace miravue {
namespace {

struct ModifierKey {
    std::uint32_t vkCode;
    std::int32_t modifier;
};

// Both keys of a pair give the pair's code; the right Windows key reports the left one's.
constexpr std::array<ModifierKey, 8> kModifierKeys{{
    {160, 16},  // left Shift -> Shift
    {161, 16},  // right Shift
    {162, 17},  // left Ctrl -> Ctrl
    {163, 17},  // right Ctrl
    {164, 18},  // left Alt -> Alt (menu key)
    {165, 18},  // right Alt
    {91, 91},   // left Windows key
    {92, 91},   // right Windows key
}};

// Flags below this are a press: plain, extended, injected and Alt-held presses. An injected
// press while Alt is held (16 + 32 = 48 and up) falls between the thresholds and is ignored.
constexpr std::int32_t kPressFlagsBelow = 35;
// Every release carries the "up" bit (128).
constexpr std::int32_t kReleaseFlagsAbove = 127;

const ModifierKey* FindModifierKey(std::uint32_t vkCode) {
    for (const ModifierKey& key : kModifierKeys) {
        if (key.vkCode == vkCode) {
            return &key;
        }
    }
    return nullptr;
}

}  // namespace

KeyboardHookState& TheKeyboardHook() {
    static KeyboardHookState state;
    return state;
}

void InstallKeyboardHook(KeyCallback callback) {
    KeyboardHookState& state = TheKeyboardHook();
    if (state.hookHandle != 0) {
        return;
    }
    state.keyCallback = callback;
    state.hookHandle = platform::SetKeyboardHook(KeyboardHookProc);
}

std::intptr_t MIRAVUE_CALLBACK KeyboardHookProc(std::int32_t code, std::uintptr_t wparam,
                                                const platform::KeyEvent* event) {
    KeyboardHookState& state = TheKeyboardHook();
    if (code == platform::kHookAction && event != nullptr) {
        const platform::KeyEvent copy = *event;
        const auto flags = static_cast<std::int32_t>(copy.flags);
        const ModifierKey* modifierKey = FindModifierKey(copy.vkCode);
        if (flags < kPressFlagsBelow) {
            if (modifierKey != nullptr) {
                state.currentModifier = modifierKey->modifier;
            }
            if (state.keyCallback != nullptr) {
                state.keyCallback(state.currentModifier, static_cast<std::int32_t>(copy.vkCode), 0);
            }
        } else if (flags > kReleaseFlagsAbove) {
            if (modifierKey != nullptr) {
                state.currentModifier = 0;
            }
        }
    }
    return platform::CallNextKeyboardHook(state.hookHandle, code, wparam, event);
}

}  // namespace miravue
