#include "platform/win32/ControlSite.h"

namespace plat::win32 {

HRESULT ControlSite::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        *out = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
        *out = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *out = static_cast<IOleInPlaceFrame*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG ControlSite::AddRef() { return ++references_; }

ULONG ControlSite::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT ControlSite::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out != nullptr) {
        *out = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT ControlSite::GetContainer(IOleContainer** out) {
    if (out != nullptr) {
        *out = nullptr;
    }
    return E_NOINTERFACE;
}

HRESULT ControlSite::GetWindow(HWND* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = panel_;
    return panel_ != nullptr ? S_OK : E_FAIL;
}

HRESULT ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || info == nullptr) {
        return E_POINTER;
    }
    *frame = nullptr;
    *document = nullptr;
    if (panel_ == nullptr) {
        return E_FAIL;
    }
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    ::GetClientRect(panel_, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = panel_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

}  // namespace plat::win32
