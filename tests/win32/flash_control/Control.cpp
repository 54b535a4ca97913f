#include "tests/win32/flash_control/Control.h"

#include <ocidl.h>
#include <ole2.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "platform/MovieHeader.h"
#include "platform/win32/Com.h"
#include "platform/win32/FlashClass.h"
#include "platform/win32/Win32Util.h"
#include "tests/win32/flash_control/ControlLog.h"

namespace test_control {

HINSTANCE g_module = nullptr;
std::atomic<long> g_live{0};

namespace {

using plat::win32::ComPtr;

constexpr char kWindowClass[] = "TestFlashControl";
constexpr COLORREF kBlank = RGB(255, 255, 255);

// The properties keep the player's ids; the methods are numbered as this control likes.
enum : DISPID { kMovie = 102, kPlaying = 125, kMenu = 135, kPlay = 1001, kStop = 1002, kIsPlaying = 1003 };

struct Member {
    const wchar_t* name;
    DISPID id;
};
constexpr std::array<Member, 6> kMembers = {{{L"Movie", kMovie},
                                             {L"Playing", kPlaying},
                                             {L"Menu", kMenu},
                                             {L"Play", kPlay},
                                             {L"Stop", kStop},
                                             {L"IsPlaying", kIsPlaying}}};

std::string Narrow(const wchar_t* w) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
    return s;
}

std::string RectText(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
    return text;
}

const char* MouseMessageName(UINT msg) {
    switch (msg) {
        case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
        case WM_LBUTTONUP: return "WM_LBUTTONUP";
        case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
        case WM_RBUTTONUP: return "WM_RBUTTONUP";
        case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
        case WM_MBUTTONUP: return "WM_MBUTTONUP";
        case WM_CONTEXTMENU: return "WM_CONTEXTMENU";
        default: return nullptr;
    }
}

class Control final : public IOleObject, public IOleInPlaceObject, public IDispatch, public IPersistStreamInit {
public:
    Control() { ++g_live; }
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
            *out = static_cast<IOleObject*>(this);
        } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
            *out = static_cast<IOleInPlaceObject*>(this);
        } else if (IsEqualIID(iid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
        } else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) {
            *out = static_cast<IPersistStreamInit*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        Log(site != nullptr ? "SetClientSite" : "SetClientSite none");
        if (site != nullptr) {
            site->AddRef();
        }
        site_ = ComPtr<IOleClientSite>(site);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = site_.Get();
        if (*out != nullptr) {
            (*out)->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override {
        Log("Close");
        InPlaceDeactivate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, WINBOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override {
        Log("DoVerb " + std::to_string(verb));
        return verb == OLEIVERB_INPLACEACTIVATE || verb == OLEIVERB_SHOW || verb == OLEIVERB_UIACTIVATE ||
                       verb == OLEIVERB_PRIMARY
                   ? ActivateInPlace()
                   : OLEOBJ_S_INVALIDVERB;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return OLE_S_USEREG; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) override { return GetClassID(out); }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* out) override {
        *out = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_RECOMPOSEONRESIZE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow and IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        *out = window_;
        return window_ != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
        if (window_ != nullptr) {
            ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            ::DestroyWindow(window_);
            window_ = nullptr;
        }
        if (const ComPtr<IOleInPlaceSite> site = std::exchange(inPlaceSite_, {})) {
            site->OnInPlaceDeactivate();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT) override {
        Log("SetObjectRects " + RectText(*position));
        ::MoveWindow(window_, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IPersist and IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* out) override {
        *out = plat::win32::kFlashClassId;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM, WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitNew() override {
        Log("InitNew");
        return S_OK;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* out) override {
        *out = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const Member& m : kMembers) {
                if (::_wcsicmp(names[i], m.name) == 0) {
                    ids[i] = m.id;
                }
            }
            if (ids[i] == DISPID_UNKNOWN) {
                result = DISP_E_UNKNOWNNAME;
            }
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        if (Fault() == "throw") {
            Log("raises " + std::to_string(id));
            if (exception != nullptr) {
                *exception = EXCEPINFO{};
                exception->scode = E_UNEXPECTED;
                exception->bstrDescription = ::SysAllocString(L"the test control refuses");
            }
            return DISP_E_EXCEPTION;
        }
        if (Fault() == "fail") {
            Log("fails " + std::to_string(id));
            return E_FAIL;
        }
        const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
        if (put && (params == nullptr || params->cArgs != 1)) {
            return DISP_E_BADPARAMCOUNT;
        }
        VARIANT* value = put ? &params->rgvarg[0] : nullptr;
        switch (id) {
            case kMovie: return put ? PutMovie(value) : DISP_E_MEMBERNOTFOUND;
            case kPlaying: return put ? PutPlaying(value) : Answer(result, PlayingNow());
            case kMenu: return put ? PutMenu(value) : Answer(result, menu_);
            case kPlay: {
                Log("Play");
                Start();
                return S_OK;
            }
            case kStop: {
                Log("Stop");
                playing_ = false;
                return S_OK;
            }
            case kIsPlaying: {
                const bool playing = PlayingNow();
                Log(std::string("IsPlaying ") + (playing ? "1" : "0"));
                return Answer(result, playing);
            }
            default: return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    ~Control() {
        InPlaceDeactivate();
        --g_live;
    }

    static HRESULT Answer(VARIANT* result, bool value) {
        if (result != nullptr) {
            ::VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }

    static bool Truth(VARIANT* value, HRESULT* status) {
        plat::win32::Variant copy;
        *status = ::VariantChangeType(copy.Get(), value, 0, VT_BOOL);
        return SUCCEEDED(*status) && copy.Get()->boolVal != VARIANT_FALSE;
    }

    HRESULT PutMovie(VARIANT* value) {
        plat::win32::Variant text;
        const HRESULT status = ::VariantChangeType(text.Get(), value, 0, VT_BSTR);
        if (FAILED(status)) {
            return status;
        }
        const std::string path = Narrow(text.Get()->bstrVal);
        Log("Movie " + path);
        playing_ = false;
        header_ = path == "none" ? std::nullopt : plat::ReadMovieHeader(path);
        if (header_) {
            char line[128];
            std::snprintf(line, sizeof line, "header %lu %lu rate %u frames %u background %06lX",
                          static_cast<unsigned long>(header_->xMax), static_cast<unsigned long>(header_->yMax),
                          header_->frameRate, header_->frameCount,
                          static_cast<unsigned long>(header_->background.value_or(0xFFFFFFFF) & 0xFFFFFF));
            Log(line);
        }
        if (window_ != nullptr) {
            ::InvalidateRect(window_, nullptr, TRUE);
        }
        return S_OK;
    }

    HRESULT PutPlaying(VARIANT* value) {
        HRESULT status = S_OK;
        const bool playing = Truth(value, &status);
        Log(std::string("Playing ") + (playing ? "1" : "0"));
        if (playing) {
            Start();
        } else {
            playing_ = false;
        }
        return status;
    }

    HRESULT PutMenu(VARIANT* value) {
        HRESULT status = S_OK;
        menu_ = Truth(value, &status);
        Log(std::string("Menu ") + (menu_ ? "1" : "0"));
        return status;
    }

    void Start() {
        playing_ = header_.has_value();
        startedAt_ = ::GetTickCount();
    }

    bool PlayingNow() const {
        if (!playing_) {
            return false;
        }
        return Fault() == "endless" || ::GetTickCount() - startedAt_ < plat::MoviePlayMs(*header_);
    }

    COLORREF Colour() const {
        if (!header_ || !header_->background) {
            return kBlank;
        }
        const gfx::Color32 c = *header_->background;
        return RGB(gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c));
    }

    HRESULT ActivateInPlace() {
        if (window_ != nullptr) {
            return S_OK;
        }
        auto site = site_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (!site || site->CanInPlaceActivate() != S_OK) {
            return E_FAIL;
        }
        site->OnInPlaceActivate();
        HWND parent = nullptr;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> document;
        RECT position{};
        RECT clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof info;
        if (FAILED(site->GetWindow(&parent)) ||
            FAILED(site->GetWindowContext(frame.Put(), document.Put(), &position, &clip, &info))) {
            site->OnInPlaceDeactivate();
            return E_FAIL;
        }
        plat::win32::RegisterWindowClass(kWindowClass, WindowProc, g_module);
        window_ = ::CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, position.left,
                                    position.top, position.right - position.left, position.bottom - position.top,
                                    parent, nullptr, g_module, this);
        if (window_ == nullptr) {
            site->OnInPlaceDeactivate();
            return E_FAIL;
        }
        Log("in place " + RectText(position));
        inPlaceSite_ = site;
        return S_OK;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        const auto* self = plat::win32::WindowObject<const Control>(window, msg, lParam);
        if (const char* name = MouseMessageName(msg)) {
            Log(std::string("mouse ") + name);
        }
        if (msg == WM_ERASEBKGND && self != nullptr) {
            RECT r{};
            ::GetClientRect(window, &r);
            const plat::win32::GdiObject<HBRUSH> brush(::CreateSolidBrush(self->Colour()));
            ::FillRect(reinterpret_cast<HDC>(wParam), &r, brush.get());
            return 1;
        }
        return ::DefWindowProcA(window, msg, wParam, lParam);
    }

    ULONG references_ = 1;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    HWND window_ = nullptr;
    std::optional<plat::MovieHeader> header_;
    bool menu_ = true;
    bool playing_ = false;
    DWORD startedAt_ = 0;
};

}  // namespace

void UnregisterControlWindowClass() { ::UnregisterClassA(kWindowClass, g_module); }

IUnknown* NewControl() {
    Log("create");
    return static_cast<IOleObject*>(new Control());
}

}  // namespace test_control
