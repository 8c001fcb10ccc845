// The browser host: a plain child window of our own class that carries the WebBrowser
// control. That window, not one of the control's inner windows, is the control window the
// program sees: it exists whether or not the control could be made, and it is where files
// dropped on the page area arrive once it accepts files (the control is told not to take
// drops itself, so they fall through to the nearest window that accepts files).

#include <windows.h>
// After windows.h, whose types they use.
#include <exdisp.h>
#include <ole2.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/browser.h"
#include "platform/win32/browser_host_win32.h"
#include "platform/win32/browser_site_win32.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/text_win32.h"

namespace miravue::platform {

namespace win32 {
namespace {

// An ANSI class: the program subclasses this window through SetWindowLongA, and an ANSI
// window hands back its own procedure rather than a conversion thunk.
constexpr char kHostClassName[] = "MiravueBrowserHost";

struct BrowserHost {
    HWND window = nullptr;
    BrowserFrame frame;
    BrowserSite site{frame};
    ComPtr<IOleObject> object;
    ComPtr<IOleInPlaceObject> inPlace;
    ComPtr<IWebBrowser2> browser;
};

BrowserHost& Host() {
    static BrowserHost host;
    return host;
}

void FitControl(HWND window) {
    BrowserHost& host = Host();
    if (!host.inPlace)
        return;
    RECT area{};
    GetClientRect(window, &area);
    host.inPlace->SetObjectRects(&area, &area);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            FitControl(window);
            return 0;
        case WM_ERASEBKGND:
            // The control paints all of it; erasing first only flickers.
            return Host().browser ? 1 : DefWindowProcA(window, message, wparam, lparam);
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

bool RegisterHostClass(HINSTANCE instance) {
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, kHostClassName, &existing))
        return true;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kHostClassName;
    return RegisterClassA(&windowClass) != 0;
}

// Embeds the control in the host window; on any failure the host stays without one.
void EmbedControl(BrowserHost& host, HWND frameWindow) {
    ComPtr<IOleObject> object;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                object.put()))) {
        return;
    }
    host.frame.SetWindow(frameWindow);
    host.site.SetWindow(host.window);
    if (FAILED(object->SetClientSite(&host.site)))
        return;
    OleSetContainedObject(object.get(), TRUE);
    RECT area{};
    GetClientRect(host.window, &area);
    if (FAILED(
            object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &host.site, 0, host.window, &area))) {
        object->SetClientSite(nullptr);
        return;
    }
    ComPtr<IWebBrowser2> browser;
    if (FAILED(object->QueryInterface(IID_IWebBrowser2, browser.put()))) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        return;
    }
    // Drops go to the host window as WM_DROPFILES, never to the page.
    browser->put_RegisterAsDropTarget(VARIANT_FALSE);
    // The program reports nothing to the user: no script error boxes from pages either.
    browser->put_Silent(VARIANT_TRUE);
    object->QueryInterface(IID_IOleInPlaceObject, host.inPlace.put());
    host.object = std::move(object);
    host.browser = std::move(browser);
}

}  // namespace

HWND CreateBrowserHost(HWND parent, const Rect& bounds) {
    BrowserHost& host = Host();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterHostClass(instance))
        return nullptr;
    host.window = CreateWindowExA(0, kHostClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                  bounds.left, bounds.top, bounds.right - bounds.left,
                                  bounds.bottom - bounds.top, parent, nullptr, instance, nullptr);
    if (host.window == nullptr)
        return nullptr;
    EmbedControl(host, parent);
    return host.window;
}

void DestroyBrowserHost() {
    BrowserHost& host = Host();
    host.frame.SetActiveObject(nullptr, nullptr);
    host.browser.Reset();
    host.inPlace.Reset();
    if (host.object) {
        host.object->Close(OLECLOSE_NOSAVE);
        host.object->SetClientSite(nullptr);
        host.object.Reset();
    }
    host.window = nullptr;
}

bool TranslateBrowserAccelerator(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST)
        return false;
    IOleInPlaceActiveObject* active = Host().frame.ActiveObject();
    return active != nullptr && active->TranslateAccelerator(&message) == S_OK;
}

}  // namespace win32

WindowHandle BrowserWindow() {
    return reinterpret_cast<WindowHandle>(win32::Host().window);
}

namespace {

void ResizeHost(std::int32_t width, std::int32_t height) {
    HWND window = win32::Host().window;
    if (window == nullptr)
        return;
    SetWindowPos(window, nullptr, 0, 0, width < 0 ? 0 : width, height < 0 ? 0 : height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT HostRect() {
    RECT area{};
    GetClientRect(win32::Host().window, &area);
    return area;
}

}  // namespace

void SetBrowserWidth(std::int32_t width) {
    ResizeHost(width, HostRect().bottom);
}

void SetBrowserHeight(std::int32_t height) {
    ResizeHost(HostRect().right, height);
}

void Navigate(std::string_view url) {
    win32::BrowserHost& host = win32::Host();
    if (!host.browser)
        return;
    // The URL only: flags 0, no target frame, no post data, no extra headers.
    const std::wstring wide = win32::WideFromAnsi(url);
    const std::unique_ptr<OLECHAR, decltype(&SysFreeString)> address(
        SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())), &SysFreeString);
    if (!address)
        return;
    VARIANT flags;
    VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = 0;
    VARIANT none;
    VariantInit(&none);
    host.browser->Navigate(address.get(), &flags, &none, &none, &none);
}

}  // namespace miravue::platform
