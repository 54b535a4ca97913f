// The simulated media services: a file opens when the machine knows its length (from its headers,
// or as the test or tool set it), a play ends on the virtual clock, and every call is logged with
// its time.

#include <algorithm>

#include "platform/Media.h"
#include "platform/MessageLoop.h"
#include "platform/sim/Sim.h"
#include "platform/sim/SimPanel.h"

namespace plat {

namespace {

std::optional<sim::MediaInfo> Lookup(const std::string& path) {
    if (auto set = sim::MediaFileSetting(path)) {
        return set;
    }
    return sim::ReadMediaHeaders(path);
}

class SimMediaPlayer final : public MediaPlayer {
public:
    explicit SimMediaPlayer(std::string name) : name_(std::move(name)) {}

    ~SimMediaPlayer() override {
        *alive_ = false;
        ShowPicture(false);
    }

    void SetNotifyHandler(std::function<void(MediaNotice)> handler) override { handler_ = std::move(handler); }

    bool Open(const std::string& path) override {
        Close();
        file_ = path;
        media_ = Lookup(path);
        Log(media_ ? "open" : "open failed");
        if (!media_) {
            error_ = "The specified file cannot be played on the specified MCI device.";
        }
        if (media_) {
            position_ = 0;
            target_ = media_->picture.width > 0 ? gfx::IntRect::FromSize(0, 0, media_->picture.width,
                                                                         media_->picture.height)
                                                : gfx::IntRect{};
        }
        return media_.has_value();
    }

    const std::string& FileName() const override { return file_; }

    bool IsOpen() const override { return media_.has_value(); }

    const std::string& LastError() const override { return error_; }

    bool Play() override {
        if (!media_) {
            return false;
        }
        Interrupt(MediaNotice::Superseded);
        if (position_ >= media_->lengthMs) {
            position_ = 0;
        }
        suppressed_ = false;
        startedAt_ = sim::Now();
        const std::uint64_t request = ++requests_;
        pending_ = request;
        Log("play", std::to_string(position_));
        ShowPicture(true);
        sim::At(startedAt_ + (media_->lengthMs - position_), [this, alive = alive_, request] {
            if (*alive && pending_ == request) {
                position_ = media_->lengthMs;
                pending_ = 0;
                Deliver(MediaNotice::Successful);
            }
        });
        return true;
    }

    bool Rewind() override {
        if (!media_) {
            return false;
        }
        Interrupt(MediaNotice::Aborted);
        position_ = 0;
        return true;
    }

    void SuppressNextNotice() override { suppressed_ = true; }

    void Close() override {
        if (!media_) {
            return;
        }
        Interrupt(MediaNotice::Aborted);
        ShowPicture(false);
        Log("close");
        media_.reset();
        display_ = 0;
    }

    bool SetDisplay(WindowHandle window) override {
        if (!media_ || media_->picture.width <= 0 || (window != 0 && Refuses("display"))) {
            return false;
        }
        ShowPicture(false);
        display_ = window;
        Log("display", std::to_string(window));
        ShowPicture(pending_ != 0);
        return true;
    }

    std::optional<gfx::IntRect> DisplayRect() const override {
        if (!media_ || media_->picture.width <= 0) {
            return std::nullopt;
        }
        return target_;
    }

    bool SetDisplayRect(const gfx::IntRect& target) override {
        if (!media_ || media_->picture.width <= 0 || Refuses("rect")) {
            return false;
        }
        target_ = target;
        Log("rect", sim::RectText(target));
        ShowPicture(pending_ != 0);
        return true;
    }

    bool SetAudioVolume(int volume) override {
        if (!media_ || media_->picture.width <= 0 || volume < 0 || volume > 1000 || Refuses("volume")) {
            return false;
        }
        Log("volume", std::to_string(volume));
        return true;
    }

private:
    // A command the machine's settings make the device refuse for this file is logged as failed.
    bool Refuses(const std::string& command) {
        if (!media_->refused.contains(command)) {
            return false;
        }
        Log(command + " failed");
        error_ = "The specified command is not recognized by the device.";
        return true;
    }

    // A play that was still going ends: its notice says how.
    void Interrupt(MediaNotice how) {
        if (pending_ == 0) {
            return;
        }
        position_ = std::min<std::uint64_t>(media_->lengthMs, position_ + (sim::Now() - startedAt_));
        pending_ = 0;
        PostToMain([this, alive = alive_, how] {
            if (*alive) {
                Deliver(how);
            }
        });
    }

    void Deliver(MediaNotice notice) {
        if (suppressed_ || !handler_) {
            Log("notice dropped", NoticeName(notice));
            return;
        }
        Log("notice", NoticeName(notice));
        auto handler = handler_;
        handler(notice);
    }

    void ShowPicture(bool show) {
        if (sim::SimPanel* panel = sim::FindPanel(display_)) {
            panel->SetPicture(show && media_ ? std::optional(std::pair{target_, media_->pictureColor}) : std::nullopt);
        }
    }

    void Log(const std::string& event, const std::string& detail = {}) {
        sim::M().mediaLog.push_back({sim::Now(), name_, event, file_, detail});
    }

    std::string name_;
    std::function<void(MediaNotice)> handler_;
    std::string file_;
    std::string error_;
    std::optional<sim::MediaInfo> media_;
    std::uint64_t position_ = 0;
    std::uint64_t startedAt_ = 0;
    std::uint64_t requests_ = 0;
    std::uint64_t pending_ = 0;  // the play whose notice is still to come
    bool suppressed_ = false;
    WindowHandle display_ = 0;
    gfx::IntRect target_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace

std::unique_ptr<MediaPlayer> MediaPlayer::Create(const std::string& name) {
    return std::make_unique<SimMediaPlayer>(name);
}

}  // namespace plat
