// The library's entry points: its class object, and its registration under the player's class id
// and ProgID, as the player's own library registers itself.

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <string>

#include "platform/win32/FlashClass.h"
#include "tests/win32/flash_control/Control.h"
#include "tests/win32/flash_control/ControlLog.h"

namespace test_control {

namespace {

// The one class object; it lives as long as the library.
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        IUnknown* control = NewControl();
        const HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(WINBOOL lock) override {
        g_live += lock ? 1 : -1;
        return S_OK;
    }
};

Factory g_factory;

std::wstring ClassId() {
    wchar_t id[40];
    ::StringFromGUID2(plat::win32::kFlashClassId, id, 40);
    return id;
}

std::wstring ClassKey() { return L"CLSID\\" + ClassId(); }

// Owns an open registry key.
class Key {
public:
    Key(HKEY parent, const std::wstring& name) {
        ok_ = ::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key_, nullptr) ==
              ERROR_SUCCESS;
    }
    ~Key() {
        if (ok_) {
            ::RegCloseKey(key_);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Set(const wchar_t* name, const std::wstring& value) {
        return ok_ && ::RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
    bool ok_ = false;
};

}  // namespace

}  // namespace test_control

using test_control::g_live;
using test_control::g_module;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        ::DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        test_control::UnregisterControlWindowClass();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!IsEqualCLSID(clsid, plat::win32::kFlashClassId)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return test_control::g_factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() { return g_live == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return SELFREG_E_CLASS;
    }
    test_control::Key cls(HKEY_CLASSES_ROOT, test_control::ClassKey());
    test_control::Key server(cls.Get(), L"InprocServer32");
    test_control::Key clsProgId(cls.Get(), L"ProgID");
    test_control::Key progId(HKEY_CLASSES_ROOT, plat::win32::kFlashProgId);
    test_control::Key progIdClass(progId.Get(), L"CLSID");
    const bool ok = cls.Set(nullptr, L"Test Flash control") && server.Set(nullptr, path) &&
                    server.Set(L"ThreadingModel", L"Apartment") && clsProgId.Set(nullptr, plat::win32::kFlashProgId) &&
                    progId.Set(nullptr, L"Test Flash control") && progIdClass.Set(nullptr, test_control::ClassId());
    test_control::Log(ok ? "DllRegisterServer" : "DllRegisterServer failed");
    return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, test_control::ClassKey().c_str());
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, plat::win32::kFlashProgId);
    return S_OK;
}
