// The keyboard hook seam on WH_KEYBOARD_LL. The system calls the hook on the installing
// thread while it waits for messages, which is the UI thread's GetMessage loop here.

#include <windows.h>

#include <cstddef>

#include "platform/keyboard_hook.h"

namespace miravue::platform {

// The program's event is the system's KBDLLHOOKSTRUCT, field for field, so the pointer the
// system gives can be handed on as it is.
static_assert(sizeof(KeyEvent) == sizeof(KBDLLHOOKSTRUCT));
static_assert(offsetof(KeyEvent, vkCode) == offsetof(KBDLLHOOKSTRUCT, vkCode));
static_assert(offsetof(KeyEvent, scanCode) == offsetof(KBDLLHOOKSTRUCT, scanCode));
static_assert(offsetof(KeyEvent, flags) == offsetof(KBDLLHOOKSTRUCT, flags));
static_assert(offsetof(KeyEvent, time) == offsetof(KBDLLHOOKSTRUCT, time));
static_assert(offsetof(KeyEvent, extraInfo) == offsetof(KBDLLHOOKSTRUCT, dwExtraInfo));
static_assert(kKeyFlagExtended == LLKHF_EXTENDED && kKeyFlagInjected == LLKHF_INJECTED &&
              kKeyFlagAltDown == LLKHF_ALTDOWN && kKeyFlagUp == LLKHF_UP);
static_assert(kHookAction == HC_ACTION && kKeyDownMessage == WM_KEYDOWN &&
              kKeyUpMessage == WM_KEYUP && kSysKeyDownMessage == WM_SYSKEYDOWN &&
              kSysKeyUpMessage == WM_SYSKEYUP);

namespace {

KeyboardHookProcedure& Procedure() {
    static KeyboardHookProcedure procedure = nullptr;
    return procedure;
}

// The system's hook type takes the event as an integer; this is the one place that turns
// it back into the pointer it is.
LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wparam, LPARAM lparam) {
    return Procedure()(code, wparam, reinterpret_cast<const KeyEvent*>(lparam));
}

}  // namespace

HookHandle SetKeyboardHook(KeyboardHookProcedure procedure) {
    if (procedure == nullptr)
        return 0;
    Procedure() = procedure;
    HHOOK hook =
        SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProc, GetModuleHandleA(nullptr), 0);
    return reinterpret_cast<HookHandle>(hook);
}

std::intptr_t CallNextKeyboardHook(HookHandle hook, std::int32_t code, std::uintptr_t wparam,
                                   const KeyEvent* event) {
    return CallNextHookEx(reinterpret_cast<HHOOK>(hook), code, wparam,
                          reinterpret_cast<LPARAM>(event));
}

}  // namespace miravue::platform
