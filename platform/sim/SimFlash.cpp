// The simulated player control: a movie plays once through for the length its header gives (or the
// machine sets for the file), the control shows the movie's background colour over its part of the
// panel while it holds a movie, and every call is logged with its time.

#include "platform/Flash.h"
#include "platform/MovieHeader.h"
#include "platform/sim/Sim.h"
#include "platform/sim/SimPanel.h"

namespace plat {

namespace {

constexpr gfx::Color32 kNoBackground = 0xFFFFFFFF;  // a movie without a background tag shows white

class SimFlash final : public FlashPlayer {
public:
    SimFlash(WindowHandle panel, const gfx::IntRect& bounds) : panel_(panel), bounds_(bounds) { Log("create"); }

    ~SimFlash() override {
        visible_ = false;
        Paint();
        Log("destroy");
    }

    void SetBounds(const gfx::IntRect& bounds) override {
        Call("bounds", sim::RectText(bounds));
        bounds_ = bounds;
        Paint();
    }

    void SetVisible(bool visible) override {
        visible_ = visible;
        Paint();
    }

    void SetMovie(const std::string& path) override {
        Call("movie", path);
        movie_ = path;
        playing_ = false;
        const auto header = ReadMovieHeader(path);
        loaded_ = header.has_value();
        colour_ = header && header->background ? *header->background : kNoBackground;
        lengthMs_ = header ? MoviePlayMs(*header) : 0;
        if (const auto set = sim::MediaFileSetting(path)) {
            lengthMs_ = set->lengthMs;
        }
        Paint();
    }

    void SetPlaying(bool playing) override {
        Call("playing", playing ? "1" : "0");
        if (playing) {
            Start();
        } else {
            playing_ = false;
        }
    }

    void SetMenu(bool menu) override { Call("menu", menu ? "1" : "0"); }

    void Play() override {
        Call("play");
        Start();
    }

    void Stop() override {
        Call("stop");
        playing_ = false;
    }

    bool IsPlaying() override {
        Fail("is playing");
        return playing_ && sim::Now() - startedAt_ < lengthMs_;
    }

private:
    void Start() {
        playing_ = loaded_;
        startedAt_ = sim::Now();
    }

    // Every call the machine makes the control fail throws, as the real control's errors do.
    void Fail(const std::string& name) {
        if (sim::M().flashFaults.count(name) != 0) {
            Log(name + " failed");
            throw FlashError("the control failed " + name);
        }
    }

    void Call(const std::string& name, const std::string& detail = {}) {
        Fail(name);
        Log(name, detail);
    }

    void Paint() {
        if (sim::SimPanel* panel = sim::FindPanel(panel_)) {
            panel->SetPicture(visible_ && loaded_ ? std::optional(std::pair{bounds_, colour_}) : std::nullopt);
        }
    }

    void Log(const std::string& event, const std::string& detail = {}) {
        sim::M().mediaLog.push_back({sim::Now(), "Flash", event, movie_, detail});
    }

    WindowHandle panel_;
    gfx::IntRect bounds_;
    std::string movie_;
    bool visible_ = true;
    bool loaded_ = false;
    bool playing_ = false;
    gfx::Color32 colour_ = kNoBackground;
    std::uint64_t lengthMs_ = 0;
    std::uint64_t startedAt_ = 0;
};

}  // namespace

std::unique_ptr<FlashPlayer> FlashPlayer::Create(Panel& panel) {
    if (!sim::M().flashInstalled) {
        throw FlashUnavailable("Class not registered");
    }
    if (sim::M().flashFaults.count("create") != 0) {
        throw FlashUnavailable("the control would not start");
    }
    const gfx::IntRect b = panel.Bounds();
    return std::make_unique<SimFlash>(panel.Handle(), gfx::IntRect::FromSize(0, 0, b.Width(), b.Height()));
}

}  // namespace plat
