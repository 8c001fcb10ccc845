#include "platform/win32/browser_site_win32.h"

namespace miravue::platform::win32 {

HRESULT STDMETHODCALLTYPE BrowserFrame::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
        IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame)) {
        *object = static_cast<IOleInPlaceFrame*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE BrowserFrame::GetWindow(HWND* window) {
    if (window == nullptr)
        return E_POINTER;
    *window = window_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BrowserFrame::SetActiveObject(IOleInPlaceActiveObject* object,
                                                        LPCOLESTR) {
    if (object != nullptr)
        object->AddRef();
    if (active_ != nullptr)
        active_->Release();
    active_ = object;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BrowserSite::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
        *object = static_cast<IOleClientSite*>(this);
        return S_OK;
    }
    if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite)) {
        *object = static_cast<IOleInPlaceSite*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE BrowserSite::GetContainer(IOleContainer** container) {
    if (container != nullptr)
        *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE BrowserSite::GetWindow(HWND* window) {
    if (window == nullptr)
        return E_POINTER;
    *window = window_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BrowserSite::GetWindowContext(IOleInPlaceFrame** frame,
                                                        IOleInPlaceUIWindow** document,
                                                        LPRECT position, LPRECT clip,
                                                        LPOLEINPLACEFRAMEINFO info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
        info == nullptr) {
        return E_POINTER;
    }
    *frame = &frame_;
    frame_.AddRef();
    *document = nullptr;  // the frame is the only UI window there is
    GetClientRect(window_, position);
    *clip = *position;
    HWND frameWindow = nullptr;
    frame_.GetWindow(&frameWindow);
    // cb is set by the caller; the rest is ours to fill.
    info->fMDIApp = FALSE;
    info->hwndFrame = frameWindow;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

}  // namespace miravue::platform::win32
