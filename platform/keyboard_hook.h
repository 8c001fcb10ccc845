#pragma once
// The low-level keyboard hook seam: every key event of the desktop, whichever program has
// the focus, is delivered to one procedure on the UI thread while it waits for events.

#include <cstdint>

#include "platform/shell_types.h"

namespace miravue::platform {

// One key event, laid out as the Windows low-level hook gives it (20 bytes on 32-bit).
struct KeyEvent {
    std::uint32_t vkCode = 0;    // Windows virtual-key code
    std::uint32_t scanCode = 0;  // hardware scan code (X keycode on Linux)
    std::uint32_t flags = 0;     // kKeyFlag* bits
    std::uint32_t time = 0;      // milliseconds, the platform's event clock
    std::uintptr_t extraInfo = 0;
};

inline constexpr std::uint32_t kKeyFlagExtended = 1;
inline constexpr std::uint32_t kKeyFlagLowerIlInjected = 2;
inline constexpr std::uint32_t kKeyFlagInjected = 16;
inline constexpr std::uint32_t kKeyFlagAltDown = 32;
inline constexpr std::uint32_t kKeyFlagUp = 128;

// The code of an event the procedure must look at; other codes are only passed on.
inline constexpr std::int32_t kHookAction = 0;

// wparam values of the events (key down/up, and the "system key" forms while Alt is held).
inline constexpr std::uintptr_t kKeyDownMessage = 0x100;
inline constexpr std::uintptr_t kKeyUpMessage = 0x101;
inline constexpr std::uintptr_t kSysKeyDownMessage = 0x104;
inline constexpr std::uintptr_t kSysKeyUpMessage = 0x105;

using HookHandle = std::uintptr_t;  // 0 is "no hook"

// The hook procedure. event points to the event when code is kHookAction; otherwise it
// must not be read. The result is what CallNextKeyboardHook returned.
using KeyboardHookProcedure = std::intptr_t(MIRAVUE_CALLBACK*)(std::int32_t code,
                                                               std::uintptr_t wparam,
                                                               const KeyEvent* event);

// Installs procedure for every key event of the desktop. 0 when the platform cannot give
// a global hook (no X RECORD extension, no permission).
HookHandle SetKeyboardHook(KeyboardHookProcedure procedure);

// Passes the event on to the next hook; every procedure ends with it.
std::intptr_t CallNextKeyboardHook(HookHandle hook, std::int32_t code, std::uintptr_t wparam,
                                   const KeyEvent* event);

}  // namespace miravue::platform
