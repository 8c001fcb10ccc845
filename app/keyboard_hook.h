#pragma once
// The global keyboard hook: every key press on the desktop is reported to one routine of
// the program, with the code of the modifier key pressed last.

#include <cstdint>

#include "platform/keyboard_hook.h"

namespace miravue {

// (modifier code, virtual-key code, 0); the result of the routine is not used.
using KeyCallback = void (*)(std::int32_t modifier, std::int32_t vkCode, std::int32_t unused);

// Process-wide hook state, touched only on the UI thread.
struct KeyboardHookState {
    platform::HookHandle hookHandle = 0;  // set once, never cleared
    KeyCallback keyCallback = nullptr;
    std::int32_t currentModifier = 0;  // the modifier pressed last, 0 after its release
};
KeyboardHookState& TheKeyboardHook();

// Installs the hook once; later calls, and their callbacks, are ignored. A failed install
// leaves no hook, and the next call tries again with its own callback.
void InstallKeyboardHook(KeyCallback callback);

// Reports presses (with the modifier code) to the callback, then passes every event on.
std::intptr_t MIRAVUE_CALLBACK KeyboardHookProc(std::int32_t code, std::uintptr_t wparam,
                                                const platform::KeyEvent* event);

}  // namespace miravue
