// The media player over Media Foundation's simple player (mfplay.dll). Its events come on Media
// Foundation's own threads: opening waits for the file to be set, and the end of a play is posted
// to a message-only window of the main thread, as MCI's notices are. The picture goes to a window of
// the player's own, a child of the display window, so that it can be moved and scaled there.

#include <windows.h>
#include <mfapi.h>
#include <mfplay.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>

#include "platform/win32/Com.h"
#include "platform/win32/Win32MediaFoundation.h"
#include "platform/win32/Win32Util.h"

namespace plat::win32 {

namespace {

constexpr char kNoticeClass[] = "SaverMediaFoundationNotice";
constexpr char kVideoClass[] = "SaverMediaFoundationVideo";
// wParam: the MediaNotice; lParam: the number of the play it ends, or kInterruption for a play that
// a later command ended.
constexpr UINT kNoticeMessage = WM_APP + 0x4D46;
constexpr LPARAM kInterruption = -1;
// Setting a local file takes well under a second; a player that says nothing by then is broken.
constexpr DWORD kOpenWaitMs = 10000;

using CreatePlayerFn = HRESULT(WINAPI*)(LPCWSTR, BOOL, MFP_CREATION_OPTIONS, IMFPMediaPlayerCallback*, HWND,
                                        IMFPMediaPlayer**);
using StartupFn = HRESULT(WINAPI*)(ULONG, DWORD);

// The player's factory, from libraries loaded once for the life of the process; null when the
// system has no Media Foundation or it does not start.
CreatePlayerFn CreatePlayerFunction() {
    static const CreatePlayerFn create = []() -> CreatePlayerFn {
        HMODULE platform = ::LoadLibraryA("mfplat.dll");
        HMODULE player = platform != nullptr ? ::LoadLibraryA("mfplay.dll") : nullptr;
        if (player == nullptr) {
            return nullptr;
        }
        const auto startup = Export<StartupFn>(platform, "MFStartup");
        if (startup == nullptr || FAILED(startup(MF_VERSION, MFSTARTUP_FULL))) {
            return nullptr;
        }
        return Export<CreatePlayerFn>(player, "MFPCreateMediaPlayer");
    }();
    return create;
}

std::wstring Wide(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 1)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string HresultText(const char* what, HRESULT hr) {
    char text[96];
    std::snprintf(text, sizeof text, "Media Foundation cannot %s the file (0x%08lX)", what,
                  static_cast<unsigned long>(hr));
    return text;
}

// The player's events, on Media Foundation's threads. Shared with the player by reference count:
// the player may still hold it for a moment after ours is gone.
class Events final : public IMFPMediaPlayerCallback {
public:
    explicit Events(HWND notice) : notice_(notice), itemSet_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == __uuidof(IMFPMediaPlayerCallback)) {
            *out = static_cast<IMFPMediaPlayerCallback*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    void STDMETHODCALLTYPE OnMediaPlayerEvent(MFP_EVENT_HEADER* event) override {
        switch (event->eEventType) {
            case MFP_EVENT_TYPE_MEDIAITEM_SET:
                ItemSet(event->hrEvent);
                break;
            case MFP_EVENT_TYPE_PLAYBACK_ENDED:
                Post(SUCCEEDED(event->hrEvent) ? MediaNotice::Successful : MediaNotice::Failure);
                break;
            case MFP_EVENT_TYPE_ERROR:
                ItemSet(FAILED(event->hrEvent) ? event->hrEvent : E_FAIL);
                Post(MediaNotice::Failure);
                break;
            default:
                break;
        }
    }

    // Whether the file was set, waiting for Media Foundation to say; hr tells why not.
    bool WaitItemSet(HRESULT& hr) {
        if (::WaitForSingleObject(itemSet_.get(), kOpenWaitMs) != WAIT_OBJECT_0) {
            hr = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
            return false;
        }
        hr = itemResult_;
        return SUCCEEDED(hr);
    }

    // The play whose end is to be told; ends of earlier plays are not.
    void StartPlay(LPARAM play) { play_ = play; }
    // Nothing more is posted: the window is about to go.
    void Detach() { notice_ = nullptr; }

private:
    ~Events() = default;

    void ItemSet(HRESULT hr) {
        if (::WaitForSingleObject(itemSet_.get(), 0) == WAIT_OBJECT_0) {
            return;
        }
        itemResult_ = hr;
        ::SetEvent(itemSet_.get());
    }

    void Post(MediaNotice notice) {
        if (HWND window = notice_.load()) {
            ::PostMessageA(window, kNoticeMessage, static_cast<WPARAM>(notice), play_.load());
        }
    }

    std::atomic<ULONG> references_{1};
    std::atomic<HWND> notice_;
    std::atomic<LPARAM> play_{0};
    Handle itemSet_;
    HRESULT itemResult_ = E_FAIL;
};

void RegisterVideoClass() {
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (::GetClassInfoA(module, kVideoClass, &existing)) {
        return;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = module;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));  // until the first picture
    wc.lpszClassName = kVideoClass;
    ::RegisterClassA(&wc);
}

class MediaFoundationPlayer final : public MediaPlayer {
public:
    MediaFoundationPlayer() {
        RegisterWindowClass(kNoticeClass, NoticeProc);
        RegisterVideoClass();
        notice_.reset(::CreateWindowExA(0, kNoticeClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleA(nullptr), this));
    }

    ~MediaFoundationPlayer() override {
        handler_ = nullptr;
        Close();
    }

    void SetNotifyHandler(std::function<void(MediaNotice)> handler) override { handler_ = std::move(handler); }

    bool Open(const std::string& path) override {
        Close();
        file_ = path;
        const CreatePlayerFn create = CreatePlayerFunction();
        if (create == nullptr) {
            error_ = "Media Foundation is not available";
            return false;
        }
        // The player's objects live in the calling thread's apartment; the first call makes it.
        static const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        (void)com;
        video_.reset(::CreateWindowExA(WS_EX_NOACTIVATE, kVideoClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr));
        events_ = ComPtr<Events>(new Events(notice_.get()));
        HRESULT hr = create(nullptr, FALSE, MFP_OPTION_FREE_THREADED_CALLBACK, events_.Get(), video_.get(),
                            player_.Put());
        if (FAILED(hr)) {
            return Fail("start a player for", hr);
        }
        ComPtr<IMFPMediaItem> item;
        hr = player_->CreateMediaItemFromURL(Wide(path).c_str(), TRUE, 0, item.Put());
        if (FAILED(hr)) {
            return Fail("open", hr);
        }
        if (FAILED(hr = player_->SetMediaItem(item.Get())) || !events_->WaitItemSet(hr)) {
            return Fail("play", hr);
        }
        BOOL selected = FALSE;
        if (FAILED(item->HasVideo(&hasVideo_, &selected)) || !selected) {
            hasVideo_ = FALSE;
        }
        return true;
    }

    const std::string& FileName() const override { return file_; }

    bool IsOpen() const override { return static_cast<bool>(player_); }

    const std::string& LastError() const override { return error_; }

    bool Play() override {
        if (!player_) {
            error_ = "no device is open";
            return false;
        }
        Interrupt(MediaNotice::Superseded);
        if (fromStart_ && !Reopen()) {
            return false;
        }
        suppressed_ = false;
        events_->StartPlay(++plays_);
        const HRESULT hr = player_->Play();
        if (FAILED(hr)) {
            error_ = HresultText("play", hr);
            return false;
        }
        playing_ = true;
        if (display_ != 0) {
            ::ShowWindow(video_.get(), SW_SHOWNA);
        }
        return true;
    }

    bool Rewind() override {
        if (!player_) {
            error_ = "no device is open";
            return false;
        }
        Interrupt(MediaNotice::Aborted);
        fromStart_ = true;
        return true;
    }

    void SuppressNextNotice() override { suppressed_ = true; }

    void Close() override {
        if (events_) {
            events_->Detach();
        }
        if (player_) {
            Interrupt(MediaNotice::Aborted);
            player_->Shutdown();
            player_.Reset();
        }
        events_.Reset();
        video_.reset();
        display_ = 0;
        target_.reset();
        hasVideo_ = FALSE;
        volume_.reset();
        playing_ = false;
        fromStart_ = false;
        DropQueuedNotices();
    }

    bool SetDisplay(WindowHandle window) override {
        if (!player_) {
            error_ = "no device is open";
            return false;
        }
        if (window != 0 && !hasVideo_) {
            error_ = "the file has no picture";
            return false;
        }
        HWND video = video_.get();
        ::ShowWindow(video, SW_HIDE);
        // A window becomes another's child with its style first.
        const LONG style = ::GetWindowLongA(video, GWL_STYLE) & ~(WS_POPUP | WS_CHILD);
        ::SetWindowLongA(video, GWL_STYLE, style | (window != 0 ? WS_CHILD | WS_CLIPSIBLINGS : WS_POPUP));
        ::SetParent(video, reinterpret_cast<HWND>(window));
        ::EnableWindow(video, FALSE);  // input goes where it went without the picture
        display_ = window;
        if (window != 0 && playing_) {
            ::ShowWindow(video, SW_SHOWNA);
        }
        return true;
    }

    std::optional<gfx::IntRect> DisplayRect() const override {
        if (!player_ || !hasVideo_) {
            return std::nullopt;
        }
        if (target_) {
            return target_;
        }
        SIZE size{};
        if (FAILED(player_->GetNativeVideoSize(&size, nullptr)) || size.cx <= 0 || size.cy <= 0) {
            return std::nullopt;
        }
        return gfx::IntRect::FromSize(0, 0, size.cx, size.cy);
    }

    bool SetDisplayRect(const gfx::IntRect& target) override {
        if (!player_ || display_ == 0) {
            error_ = "the picture has no window";
            return false;
        }
        ::MoveWindow(video_.get(), target.left, target.top, target.Width(), target.Height(), TRUE);
        // Scaled to the rectangle, whatever its shape, as MCI scales to its destination.
        HRESULT hr = player_->SetAspectRatioMode(MFVideoARMode_None);
        if (SUCCEEDED(hr)) {
            hr = player_->UpdateVideo();
        }
        if (FAILED(hr)) {
            error_ = HresultText("place the picture of", hr);
            return false;
        }
        target_ = target;
        return true;
    }

    bool SetAudioVolume(int volume) override {
        if (!player_) {
            error_ = "no device is open";
            return false;
        }
        const float wanted = static_cast<float>(volume) / 1000.0f;
        float now = -1.0f;
        if (FAILED(player_->SetVolume(wanted)) || FAILED(player_->GetVolume(&now)) || (volume == 0 && now != 0.0f)) {
            error_ = "Media Foundation cannot set the volume";
            return false;
        }
        volume_ = volume;
        return true;
    }

private:
    static LRESULT CALLBACK NoticeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = WindowObject<MediaFoundationPlayer>(hwnd, msg, lParam);
        if (msg == kNoticeMessage && self != nullptr) {
            try {
                self->OnNotice(static_cast<MediaNotice>(wParam), lParam);
            } catch (...) {
                // Nothing thrown by a handler may cross the window procedure.
            }
            return 0;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    void OnNotice(MediaNotice notice, LPARAM play) {
        if (play == kInterruption) {
            Deliver(notice);
            return;
        }
        if (play != plays_ || !playing_) {
            return;  // an earlier play's, or one already told
        }
        playing_ = false;
        fromStart_ = fromStart_ || notice == MediaNotice::Successful;
        Deliver(notice);
    }

    // The file again from its start, in the same window, place and volume. Wine's player, stopped
    // and started again at once after the end of a play, says it plays and stays silent; a fresh
    // player plays it whole on every system.
    bool Reopen() {
        const WindowHandle display = display_;
        const std::optional<gfx::IntRect> target = target_;
        const std::optional<int> volume = volume_;
        const std::string file = file_;
        return Open(file) && (display == 0 || SetDisplay(display)) && (!target || SetDisplayRect(*target)) &&
               (!volume || SetAudioVolume(*volume));
    }

    // The play still going ends now; its notice says how. The player's own word on that play's end
    // is not told any more.
    void Interrupt(MediaNotice how) {
        if (!playing_) {
            return;
        }
        playing_ = false;
        events_->StartPlay(++plays_);
        ::PostMessageA(notice_.get(), kNoticeMessage, static_cast<WPARAM>(how), kInterruption);
    }

    void Deliver(MediaNotice notice) {
        if (suppressed_ || !handler_) {
            return;
        }
        auto handler = handler_;
        handler(notice);
    }

    bool Fail(const char* what, HRESULT hr) {
        const std::string error = HresultText(what, hr);
        Close();
        error_ = error;
        return false;
    }

    void DropQueuedNotices() {
        MSG msg{};
        while (::PeekMessageA(&msg, notice_.get(), kNoticeMessage, kNoticeMessage, PM_REMOVE)) {
        }
    }

    std::function<void(MediaNotice)> handler_;
    std::string file_;
    std::string error_;
    ComPtr<IMFPMediaPlayer> player_;
    ComPtr<Events> events_;
    OwnedWindow video_;
    WindowHandle display_ = 0;
    std::optional<gfx::IntRect> target_;
    BOOL hasVideo_ = FALSE;
    LPARAM plays_ = 0;
    std::optional<int> volume_;
    bool playing_ = false;
    bool fromStart_ = false;  // the next play starts from the beginning
    bool suppressed_ = false;
    OwnedWindow notice_;
};

}  // namespace

bool PlaysThroughMediaFoundation(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("\\/", dot) != std::string::npos) {
        return false;
    }
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext == ".MP4" || ext == ".M4V" || ext == ".MOV" || ext == ".M4A" || ext == ".AAC";
}

std::unique_ptr<MediaPlayer> CreateMediaFoundationPlayer() { return std::make_unique<MediaFoundationPlayer>(); }

}  // namespace plat::win32
