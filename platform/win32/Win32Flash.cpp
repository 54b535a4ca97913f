// The Flash player control. Creating it needs the control's class registered with the system; the
// hosting of movies arrives with the Flash items.

#include <windows.h>
#include <objbase.h>

#include "platform/Flash.h"

namespace plat {

namespace {

void EnsureOle() {
    static const HRESULT initialised = ::OleInitialize(nullptr);
    (void)initialised;
}

class Win32Flash final : public FlashPlayer {
public:
    void SetBounds(const gfx::IntRect&) override {}
    void SetVisible(bool) override {}
    void SetMovie(const std::string&) override {}
    void SetPlaying(bool) override {}
    void SetMenu(bool) override {}
    void Play() override {}
    void Stop() override {}
    bool IsPlaying() const override { return false; }
};

}  // namespace

std::unique_ptr<FlashPlayer> FlashPlayer::Create(Window&, const gfx::IntRect&) {
    EnsureOle();
    CLSID clsid{};
    if (FAILED(::CLSIDFromProgID(L"ShockwaveFlash.ShockwaveFlash", &clsid))) {
        throw FlashUnavailable("the Flash player control class is not registered");
    }
    IUnknown* probe = nullptr;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&probe)))) {
        throw FlashUnavailable("the Flash player control cannot be created");
    }
    probe->Release();
    return std::make_unique<Win32Flash>();
}

}  // namespace plat
