// The subclassing seam on the window's own procedure slot. The program's procedures have the
// system's calling convention and argument sizes (platform/shell_types.h), so they go into
// the slot as they are; only the C++ types differ, which is why they pass as integers.

#include <windows.h>

#include "platform/window_procedure.h"

namespace miravue::platform {

static_assert(sizeof(WindowHandle) == sizeof(HWND) && sizeof(std::intptr_t) == sizeof(LRESULT));

WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure) {
    HWND handle = reinterpret_cast<HWND>(window);
    if (procedure == nullptr || !IsWindow(handle))
        return nullptr;
#ifdef _WIN64
    const LONG_PTR previous =
        SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
#else
    const LONG previous = SetWindowLongA(handle, GWL_WNDPROC, reinterpret_cast<LONG>(procedure));
#endif
    return reinterpret_cast<WindowProcedure>(previous);
}

std::intptr_t CallWindowProcedure(WindowProcedure procedure, WindowHandle window,
                                  std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam) {
    if (procedure == nullptr)
        return 0;
    // What SetWindowLongA handed back may be a handle to a conversion thunk rather than a
    // function: only CallWindowProcA may call it.
    const auto systemProcedure =
        reinterpret_cast<WNDPROC>(reinterpret_cast<std::uintptr_t>(procedure));
    return CallWindowProcA(systemProcedure, reinterpret_cast<HWND>(window), message, wparam,
                           lparam);
}

}  // namespace miravue::platform
