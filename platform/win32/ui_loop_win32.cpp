// The UI-loop seam on posted messages. They go to a message-only window of ours rather than
// to the thread, since thread messages are lost while a modal loop (a window being moved or
// sized, a message box) pumps instead of ours.

#include <windows.h>

#include "platform/ui_loop.h"

namespace miravue::platform {

namespace {

constexpr UINT kRunTaskMessage = WM_APP + 1;
constexpr wchar_t kTaskWindowClass[] = L"MiravueUiTasks";

LRESULT CALLBACK TaskWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kRunTaskMessage) {
        const auto task = reinterpret_cast<UiTask>(wparam);
        if (task != nullptr)
            task(static_cast<std::uintptr_t>(lparam));
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND TaskWindow() {
    static HWND window = [] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = TaskWindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kTaskWindowClass;
        RegisterClassW(&windowClass);
        return CreateWindowExW(0, kTaskWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               instance, nullptr);
    }();
    return window;
}

}  // namespace

bool PostToUiLoop(UiTask task, std::uintptr_t argument) {
    HWND window = TaskWindow();
    if (task == nullptr || window == nullptr)
        return false;
    return PostMessageW(window, kRunTaskMessage, reinterpret_cast<WPARAM>(task),
                        static_cast<LPARAM>(argument)) != FALSE;
}

}  // namespace miravue::platform
