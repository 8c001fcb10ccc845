// The main window: a Unicode top-level window, so that the caption shows as written
// whatever ANSI code page the system runs with, and the browser host as its one child.

#include <windows.h>
// After windows.h, whose types it uses.
#include <ole2.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/win32/browser_host_win32.h"
#include "platform/win32/text_win32.h"
#include "platform/window.h"

namespace miravue::platform {

namespace {

constexpr wchar_t kMainClassName[] = L"MiravueMainWindow";

struct MainWindowState {
    HWND window = nullptr;
    WindowEvents events;
    Rect browser;
    bool created = false;  // `created` has run: size reports go to the program from then on
    bool oleReady = false;
};

MainWindowState& State() {
    static MainWindowState state;
    return state;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MainWindowState& state = State();
    switch (message) {
        case WM_CREATE:
            // The control belongs to the window description: no window without it.
            return win32::CreateBrowserHost(window, state.browser) != nullptr ? 0 : -1;
        case WM_SIZE:
            if (state.created && state.events.size_changed != nullptr)
                state.events.size_changed();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the browser host covers the client area
        case WM_DESTROY:
            win32::DestroyBrowserHost();
            state.window = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

HICON LoadProgramIcon(HINSTANCE instance, std::string_view name, int size) {
    const std::wstring wide = win32::WideFromUtf8(name);
    return static_cast<HICON>(LoadImageW(instance, wide.c_str(), IMAGE_ICON, size, size, 0));
}

bool RegisterMainClass(HINSTANCE instance, std::string_view iconName) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadProgramIcon(instance, iconName, GetSystemMetrics(SM_CXICON));
    windowClass.hIconSm = LoadProgramIcon(instance, iconName, GetSystemMetrics(SM_CXSMICON));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = kMainClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool CreateMainWindow(const WindowDescription& description, const WindowEvents& events) {
    MainWindowState& state = State();
    if (state.window != nullptr)
        return false;  // one main window per process
    // The WebBrowser control and shell drag and drop both want OLE on this thread.
    if (!state.oleReady)
        state.oleReady = SUCCEEDED(OleInitialize(nullptr));
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterMainClass(instance, description.icon_name))
        return false;
    state.events = events;
    state.browser = description.browser;
    state.created = false;
    const std::wstring caption = win32::WideFromUtf8(description.caption);
    HWND window =
        CreateWindowExW(0, kMainClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        description.left, description.top, description.width, description.height,
                        nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return false;
    state.window = window;
    state.created = true;
    if (events.created != nullptr)
        events.created();
    // The first size report; later ones come with WM_SIZE.
    if (events.size_changed != nullptr)
        events.size_changed();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return true;
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (win32::TranslateBrowserAccelerator(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (State().oleReady) {
        OleUninitialize();
        State().oleReady = false;
    }
}

WindowHandle MainWindow() {
    return reinterpret_cast<WindowHandle>(State().window);
}

Rect ClientRect(WindowHandle window) {
    RECT area{};
    HWND handle = reinterpret_cast<HWND>(window);
    if (handle == nullptr || !GetClientRect(handle, &area))
        return Rect{};
    return Rect{.left = area.left, .top = area.top, .right = area.right, .bottom = area.bottom};
}

void ShowErrorMessage(std::string_view message) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
    const std::wstring text = win32::WideFromUtf8(message);
    MessageBoxW(nullptr, text.c_str(), L"Miravue", MB_OK | MB_ICONERROR);
}

}  // namespace miravue::platform
