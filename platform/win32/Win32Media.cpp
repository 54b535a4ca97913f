// The media player: MCI for the kinds whose device the system chooses from the extension, and Media
// Foundation first for MP4, M4V, MOV, M4A and AAC, which MCI cannot choose a device for by itself.
// Each MCI player has a message-only window of the main thread for its completion notices: some
// devices name no device in their notices (Wine's DirectShow device).

#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

#include <cstdlib>
#include <set>

#include "platform/Files.h"
#include "platform/Media.h"
#include "platform/SilentAvi.h"
#include "platform/win32/Win32MediaFoundation.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

constexpr char kNotifyClass[] = "SaverMediaNotify";
// The DirectShow device, which reads MP4 and MOV where the system has the filters for them.
constexpr char kDirectShowDevice[] = "mpegvideo";

std::string ErrorText(MCIERROR error) {
    char text[256] = {};
    if (!::mciGetErrorStringA(error, text, sizeof text)) {
        return "MCI error " + std::to_string(error);
    }
    return text;
}

// RECT as MCI gives and takes it for pictures: origin, then width and height.
RECT ToMciRect(const gfx::IntRect& r) { return RECT{r.left, r.top, r.Width(), r.Height()}; }

gfx::IntRect FromMciRect(const RECT& r) { return gfx::IntRect::FromSize(r.left, r.top, r.right, r.bottom); }

// The file of the driver that serves a kind of device ("waveaudio"), as the system lists it.
std::string DriverFile(const std::string& deviceType) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI32", 0, KEY_READ,
                        &key) != ERROR_SUCCESS) {
        return {};
    }
    char file[MAX_PATH] = {};
    DWORD size = sizeof file - 1;
    DWORD type = 0;
    const LONG read = ::RegQueryValueExA(key, deviceType.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(file), &size);
    ::RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_SZ ? std::string(file) : std::string();
}

// Closing a device can unload its driver while a thread the driver started for a play is still on
// its way out of the driver's code: Wine's WAV device sends its completion notice from that thread
// before the thread returns, and a handler that closes the device at once (to start the next track)
// would pull the code from under it. So the driver of every device opened stays loaded for the life
// of the process; it is loaded anyway while any of its devices is open.
void KeepDriverLoaded(MCIDEVICEID device) {
    static std::set<std::string> kept;
    char deviceType[64] = {};
    MCI_SYSINFO_PARMSA info{};
    info.lpstrReturn = deviceType;
    info.dwRetSize = sizeof deviceType;
    if (::mciSendCommandA(device, MCI_SYSINFO, MCI_SYSINFO_INSTALLNAME | MCI_WAIT,
                          reinterpret_cast<DWORD_PTR>(&info)) != 0 ||
        kept.contains(deviceType)) {
        return;
    }
    const std::string file = DriverFile(deviceType);
    HMODULE module = nullptr;
    if (!file.empty() && ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, file.c_str(), &module)) {
        kept.insert(deviceType);
    }
}

class MciPlayer final : public MediaPlayer {
public:
    MciPlayer() {
        win32::RegisterWindowClass(kNotifyClass, NotifyProc);
        notify_.reset(::CreateWindowExA(0, kNotifyClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleA(nullptr), this));
    }

    ~MciPlayer() override {
        handler_ = nullptr;
        Close();
    }

    void SetNotifyHandler(std::function<void(MediaNotice)> handler) override { handler_ = std::move(handler); }

    bool Open(const std::string& path) override { return OpenAs(path, {}); }

    // Opens the file on the named kind of device; with none, the system chooses by the extension.
    bool OpenAs(const std::string& path, const std::string& deviceType) {
        Close();
        file_ = path;
        deviceType_ = deviceType;
        return OpenDevice(file_);
    }

    const std::string& FileName() const override { return file_; }

    bool IsOpen() const override { return device_ != 0; }

    const std::string& LastError() const override { return error_; }

    bool Play() override {
        if (device_ == 0) {
            error_ = "no device is open";
            return false;
        }
        if (AtEnd()) {
            Send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, nullptr);
        }
        suppressed_ = false;
        MCI_PLAY_PARMS play{};
        play.dwCallback = reinterpret_cast<DWORD_PTR>(notify_.get());
        return Send(MCI_PLAY, MCI_NOTIFY, &play);
    }

    bool Rewind() override {
        if (device_ == 0) {
            error_ = "no device is open";
            return false;
        }
        return Send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, nullptr);
    }

    void SuppressNextNotice() override { suppressed_ = true; }

    void Close() override {
        CloseDevice();
        if (!silentCopy_.empty()) {
            RemoveFile(silentCopy_);
            silentCopy_.clear();
        }
    }

    bool SetDisplay(WindowHandle window) override {
        MCI_DGV_WINDOW_PARMSA parms{};
        parms.hWnd = reinterpret_cast<HWND>(window);
        if (device_ == 0 || !Send(MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &parms)) {
            return false;
        }
        display_ = window;
        return true;
    }

    std::optional<gfx::IntRect> DisplayRect() const override {
        MCI_DGV_RECT_PARMS parms{};
        if (device_ == 0 || !Send(MCI_WHERE, MCI_DGV_WHERE_DESTINATION | MCI_WAIT, &parms)) {
            return std::nullopt;
        }
        // A movie stored top down can report a negative height (Wine's AVI device does).
        parms.rc.right = std::abs(parms.rc.right);
        parms.rc.bottom = std::abs(parms.rc.bottom);
        return FromMciRect(parms.rc);
    }

    bool SetDisplayRect(const gfx::IntRect& target) override {
        MCI_DGV_RECT_PARMS parms{};
        parms.rc = ToMciRect(target);
        if (device_ == 0 || !Send(MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT, &parms)) {
            return false;
        }
        target_ = target;
        return true;
    }

    bool SetAudioVolume(int volume) override {
        MCI_DGV_SETAUDIO_PARMSA parms{};
        parms.dwItem = MCI_DGV_SETAUDIO_VOLUME;
        parms.dwValue = static_cast<DWORD>(volume);
        if (device_ == 0) {
            error_ = "no device is open";
            return false;
        }
        const bool set = Send(MCI_SETAUDIO, MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE | MCI_WAIT, &parms);
        if (volume != 0) {
            return set;
        }
        // Some devices take the volume and play on at full volume (Wine's AVI device does), and some
        // cannot say what their volume is (Wine's DirectShow device): a movie that must be silent and
        // whose device does not report a volume of 0 plays from a copy without its sound stream where
        // one can be made. Failing that, a device that took the volume and cannot be asked is trusted;
        // one that refused it, or reports another volume, is not.
        const std::optional<DWORD> now = Volume();
        if (set && now == 0u) {
            return true;
        }
        return PlaySilentCopy() || (set && !now);
    }

private:
    static LRESULT CALLBACK NotifyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = win32::WindowObject<MciPlayer>(hwnd, msg, lParam);
        if (msg == MM_MCINOTIFY && self != nullptr) {
            try {
                self->OnNotice(wParam);
            } catch (...) {
                // Nothing thrown by a handler may cross the window procedure.
            }
            return 0;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    void OnNotice(WPARAM flags) {
        if (suppressed_ || !handler_) {
            return;
        }
        auto handler = handler_;
        handler(static_cast<MediaNotice>(flags));
    }

    bool OpenDevice(const std::string& path) {
        MCI_OPEN_PARMSA open{};
        open.lpstrElementName = path.c_str();
        DWORD flags = MCI_OPEN_ELEMENT | MCI_WAIT;
        // Without a device type the system chooses the device from the file's extension.
        if (!deviceType_.empty()) {
            open.lpstrDeviceType = deviceType_.c_str();
            flags |= MCI_OPEN_TYPE;
        }
        if (!Check(::mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open)))) {
            return false;
        }
        device_ = open.wDeviceID;
        KeepDriverLoaded(device_);
        display_ = 0;
        target_.reset();
        MCI_SET_PARMS set{};
        set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
        Send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set);
        return true;
    }

    void CloseDevice() {
        if (device_ == 0) {
            return;
        }
        // Paused first, a sound stops at once: some devices (Wine's wave device) play out what
        // they have queued while they close.
        Send(MCI_PAUSE, MCI_WAIT, nullptr);
        Send(MCI_CLOSE, MCI_WAIT, nullptr);
        device_ = 0;
        DropQueuedNotices();
    }

    // The audio volume as the device reports it; nothing when it cannot say.
    std::optional<DWORD> Volume() const {
        MCI_STATUS_PARMS status{};
        status.dwItem = MCI_DGV_STATUS_VOLUME;
        if (!Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status)) {
            return std::nullopt;
        }
        return static_cast<DWORD>(status.dwReturn);
    }

    // The same movie without its sound, in the same window and place. When no such copy opens the
    // device stays on the file as it was.
    bool PlaySilentCopy() {
        if (!silentCopy_.empty()) {
            return true;
        }
        const std::size_t dot = file_.find_last_of('.');
        const std::string copy = file_.substr(0, dot) + "-silent" + (dot == std::string::npos ? "" : file_.substr(dot));
        if (!WriteSilentAviCopy(file_, copy)) {
            return false;
        }
        const WindowHandle display = display_;
        const std::optional<gfx::IntRect> target = target_;
        CloseDevice();
        silentCopy_ = copy;
        const bool silent = OpenDevice(silentCopy_);
        if (!silent && !OpenDevice(file_)) {
            return false;
        }
        if (display != 0) {
            SetDisplay(display);
        }
        if (target) {
            SetDisplayRect(*target);
        }
        return silent;
    }

    bool Send(UINT command, DWORD flags, void* parms) const {
        return Check(::mciSendCommandA(device_, command, flags, reinterpret_cast<DWORD_PTR>(parms)));
    }

    bool Check(MCIERROR error) const {
        if (error != 0) {
            error_ = ErrorText(error);
        }
        return error == 0;
    }

    bool AtEnd() const {
        MCI_STATUS_PARMS position{};
        position.dwItem = MCI_STATUS_POSITION;
        MCI_STATUS_PARMS length{};
        length.dwItem = MCI_STATUS_LENGTH;
        return Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &position) &&
               Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &length) && length.dwReturn > 0 &&
               position.dwReturn >= length.dwReturn;
    }

    // A closed device's notices may already wait in the queue; they belong to nothing now.
    void DropQueuedNotices() {
        MSG msg{};
        while (::PeekMessageA(&msg, notify_.get(), MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE)) {
        }
    }

    std::function<void(MediaNotice)> handler_;
    std::string file_;
    std::string deviceType_;
    std::string silentCopy_;  // ours: deleted when the device closes
    mutable std::string error_;
    MCIDEVICEID device_ = 0;
    WindowHandle display_ = 0;
    std::optional<gfx::IntRect> target_;
    bool suppressed_ = false;
    win32::OwnedWindow notify_;
};

// Media Foundation plays MP4, M4V, MOV, M4A and AAC on every system since Windows 7 without added
// codecs, while MCI's DirectShow device reads them only where filters for them were installed.
// Where Media Foundation is missing, refuses a file, or cannot show or silence its picture as asked
// (Wine's player lacks parts of it), the DirectShow device gets its turn with the same settings.
class Win32MediaPlayer final : public MediaPlayer {
public:
    void SetNotifyHandler(std::function<void(MediaNotice)> handler) override {
        handler_ = std::move(handler);
        mci_.SetNotifyHandler(handler_);
        if (foundation_) {
            foundation_->SetNotifyHandler(handler_);
        }
    }

    bool Open(const std::string& path) override {
        Close();
        current_ = &mci_;
        display_ = 0;
        target_.reset();
        if (!win32::PlaysThroughMediaFoundation(path)) {
            return mci_.Open(path);
        }
        if (!foundation_) {
            foundation_ = win32::CreateMediaFoundationPlayer();
            foundation_->SetNotifyHandler(handler_);
        }
        if (foundation_->Open(path)) {
            current_ = foundation_.get();
            return true;
        }
        return mci_.OpenAs(path, kDirectShowDevice);
    }

    const std::string& FileName() const override { return current_->FileName(); }
    bool IsOpen() const override { return current_->IsOpen(); }
    const std::string& LastError() const override { return current_->LastError(); }
    bool Play() override { return current_->Play(); }
    bool Rewind() override { return current_->Rewind(); }

    void SuppressNextNotice() override {
        mci_.SuppressNextNotice();
        if (foundation_) {
            foundation_->SuppressNextNotice();
        }
    }

    void Close() override {
        mci_.Close();
        if (foundation_) {
            foundation_->Close();
        }
    }

    bool SetDisplay(WindowHandle window) override {
        if (!current_->SetDisplay(window) && !(FallBack() && mci_.SetDisplay(window))) {
            return false;
        }
        display_ = window;
        return true;
    }

    std::optional<gfx::IntRect> DisplayRect() const override { return current_->DisplayRect(); }

    bool SetDisplayRect(const gfx::IntRect& target) override {
        if (!current_->SetDisplayRect(target) && !(FallBack() && mci_.SetDisplayRect(target))) {
            return false;
        }
        target_ = target;
        return true;
    }

    bool SetAudioVolume(int volume) override {
        return current_->SetAudioVolume(volume) || (FallBack() && mci_.SetAudioVolume(volume));
    }

private:
    // From Media Foundation to the DirectShow device, before playing: the file opens there and
    // takes the window and rectangle it was given so far. False when it was MCI's already.
    bool FallBack() {
        if (current_ != foundation_.get()) {
            return false;
        }
        const std::string file = foundation_->FileName();
        foundation_->Close();
        current_ = &mci_;
        return mci_.OpenAs(file, kDirectShowDevice) && (display_ == 0 || mci_.SetDisplay(display_)) &&
               (!target_ || mci_.SetDisplayRect(*target_));
    }

    std::function<void(MediaNotice)> handler_;
    MciPlayer mci_;
    std::unique_ptr<MediaPlayer> foundation_;  // made when first needed
    MediaPlayer* current_ = &mci_;
    WindowHandle display_ = 0;
    std::optional<gfx::IntRect> target_;
};

}  // namespace

std::unique_ptr<MediaPlayer> MediaPlayer::Create(const std::string&) {
    return std::make_unique<Win32MediaPlayer>();
}

}  // namespace plat
