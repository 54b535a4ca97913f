// The Flash player control: created by its class id, activated in place inside the panel through a
// site of ours, and driven through its dispatch interface. Its window is subclassed for one rule:
// a right button press never reaches it while it offers no menu of its own.

#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <ole2.h>

#include <array>
#include <cstdio>
#include <optional>

#include "platform/Flash.h"
#include "platform/win32/Com.h"
#include "platform/win32/ControlSite.h"
#include "platform/win32/FlashClass.h"

namespace plat {

namespace {

using win32::ComPtr;

// The properties' dispatch ids; the methods are looked up by name.
constexpr DISPID kMovie = 102;
constexpr DISPID kPlaying = 125;
constexpr DISPID kMenu = 135;
constexpr UINT_PTR kWindowRuleId = 1;

enum Method { kPlay, kStop, kIsPlaying, kMethodCount };
constexpr std::array<const wchar_t*, kMethodCount> kMethodNames = {L"Play", L"Stop", L"IsPlaying"};

void EnsureOle() {
    static const HRESULT initialised = ::OleInitialize(nullptr);
    (void)initialised;
}

std::string Code(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring Wide(const std::string& s) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Narrow(const std::wstring& w) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

void Require(HRESULT hr, const char* what) {
    if (FAILED(hr)) {
        throw FlashUnavailable(std::string(what) + " (" + Code(hr) + ")");
    }
}

bool AsBool(VARIANT* value) {
    if (FAILED(::VariantChangeType(value, value, 0, VT_BOOL))) {
        throw FlashError("the control answered with no truth value");
    }
    return value->boolVal != VARIANT_FALSE;
}

class Win32Flash final : public FlashPlayer {
public:
    explicit Win32Flash(HWND panel) : panel_(panel), site_(new win32::ControlSite(panel)) {}

    ~Win32Flash() override {
        if (window_ != nullptr) {
            ::RemoveWindowSubclass(window_, WindowRule, kWindowRuleId);
        }
        if (inPlace_) {
            inPlace_->InPlaceDeactivate();
        }
        if (object_) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
        }
        dispatch_.Reset();
        inPlace_.Reset();
        object_.Reset();
        site_->Detach();
    }

    Win32Flash(const Win32Flash&) = delete;
    Win32Flash& operator=(const Win32Flash&) = delete;

    // Creates the control and activates it in place; on failure the destructor undoes what was done.
    void Activate() {
        EnsureOle();
        Require(::CoCreateInstance(win32::kFlashClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                   object_.PutVoid()),
                "the player control cannot be created");
        Require(object_->SetClientSite(Site()), "the player control refuses its site");
        if (const auto persist = object_.As<IPersistStreamInit>(IID_IPersistStreamInit)) {
            Require(persist->InitNew(), "the player control cannot start empty");
        }
        RECT r{};
        ::GetClientRect(panel_, &r);
        Require(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, Site(), 0, panel_, &r),
                "the player control does not start in its panel");
        inPlace_ = object_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
        HWND window = nullptr;
        if (!inPlace_ || FAILED(inPlace_->GetWindow(&window)) || window == nullptr) {
            throw FlashUnavailable("the player control has no window");
        }
        dispatch_ = object_.As<IDispatch>(IID_IDispatch);
        if (!dispatch_) {
            throw FlashUnavailable("the player control has no dispatch interface");
        }
        if (!::SetWindowSubclass(window, WindowRule, kWindowRuleId, reinterpret_cast<DWORD_PTR>(this))) {
            throw FlashUnavailable("the player control's window cannot be subclassed");
        }
        window_ = window;
    }

    void SetBounds(const gfx::IntRect& b) override {
        const RECT r{b.left, b.top, b.right, b.bottom};
        const HRESULT hr = inPlace_->SetObjectRects(&r, &r);
        if (FAILED(hr)) {
            throw FlashError("the control cannot be placed (" + Code(hr) + ")");
        }
    }

    void SetVisible(bool visible) override {
        if (window_ != nullptr) {
            ::ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
        }
    }

    void SetMovie(const std::string& path) override {
        const win32::Bstr text(Wide(path));
        VARIANT value{};
        value.vt = VT_BSTR;
        value.bstrVal = text.Get();
        Put(kMovie, value, "Movie");
    }

    void SetPlaying(bool playing) override { Put(kPlaying, Boolean(playing), "Playing"); }

    void SetMenu(bool menu) override { Put(kMenu, Boolean(menu), "Menu"); }

    void Play() override { Call(kPlay, nullptr); }

    void Stop() override { Call(kStop, nullptr); }

    bool IsPlaying() override {
        win32::Variant result;
        Call(kIsPlaying, result.Get());
        return AsBool(result.Get());
    }

private:
    IOleClientSite* Site() const { return static_cast<IOleClientSite*>(site_.Get()); }

    static VARIANT Boolean(bool value) {
        VARIANT v{};
        v.vt = VT_BOOL;
        v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }

    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result, const std::string& what) {
        win32::ExcepInfo exception;
        UINT wrongArgument = 0;
        const HRESULT hr =
            dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception.Get(), &wrongArgument);
        if (hr == DISP_E_EXCEPTION) {
            throw FlashError(what + " raised an exception: " + Narrow(exception.Description()));
        }
        return hr;
    }

    void Put(DISPID id, VARIANT value, const std::string& what) {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{&value, &named, 1, 1};
        const HRESULT hr = Invoke(id, DISPATCH_PROPERTYPUT, params, nullptr, what);
        if (FAILED(hr)) {
            throw FlashError(what + " cannot be set (" + Code(hr) + ")");
        }
    }

    void Call(Method method, VARIANT* result) {
        const std::string name = Narrow(kMethodNames[method]);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        const HRESULT hr = Invoke(MethodId(method), DISPATCH_METHOD, none, result, name);
        if (FAILED(hr)) {
            throw FlashError(name + " failed (" + Code(hr) + ")");
        }
    }

    // Controls number their methods as they like; the names are what counts.
    DISPID MethodId(Method method) {
        std::optional<DISPID>& id = methodIds_[method];
        if (!id) {
            std::wstring name = kMethodNames[method];
            LPOLESTR names[] = {name.data()};
            DISPID found = DISPID_UNKNOWN;
            const HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &found);
            if (FAILED(hr)) {
                throw FlashError(Narrow(name) + " is not known to the control (" + Code(hr) + ")");
            }
            id = found;
        }
        return *id;
    }

    // The Menu property as the control reports it; a control that cannot say offers none.
    bool MenuOffered() {
        try {
            win32::Variant value;
            DISPPARAMS none{nullptr, nullptr, 0, 0};
            return SUCCEEDED(Invoke(kMenu, DISPATCH_PROPERTYGET, none, value.Get(), "Menu")) && AsBool(value.Get());
        } catch (const FlashError&) {
            return false;
        }
    }

    static LRESULT CALLBACK WindowRule(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
        auto* self = reinterpret_cast<Win32Flash*>(data);
        if (msg == WM_RBUTTONDOWN && !self->MenuOffered()) {
            return 0;
        }
        if (msg == WM_NCDESTROY) {
            ::RemoveWindowSubclass(window, WindowRule, kWindowRuleId);
            self->window_ = nullptr;
        }
        return ::DefSubclassProc(window, msg, wParam, lParam);
    }

    HWND panel_;
    ComPtr<win32::ControlSite> site_;
    ComPtr<IOleObject> object_;
    ComPtr<IOleInPlaceObject> inPlace_;
    ComPtr<IDispatch> dispatch_;
    std::array<std::optional<DISPID>, kMethodCount> methodIds_;
    HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<FlashPlayer> FlashPlayer::Create(Panel& panel) {
    auto player = std::make_unique<Win32Flash>(reinterpret_cast<HWND>(panel.Handle()));
    player->Activate();
    return player;
}

}  // namespace plat
