#include "platform/Flash.h"
#include "platform/sim/Sim.h"

namespace plat {

namespace {

// The simulated player: it keeps what it was told; a movie "plays" until the test says otherwise.
class SimFlash final : public FlashPlayer {
public:
    void SetBounds(const gfx::IntRect& bounds) override { bounds_ = bounds; }
    void SetVisible(bool visible) override { visible_ = visible; }
    void SetMovie(const std::string& path) override { movie_ = path; }
    void SetPlaying(bool playing) override { playing_ = playing; }
    void SetMenu(bool menu) override { menu_ = menu; }
    void Play() override { playing_ = true; }
    void Stop() override { playing_ = false; }
    bool IsPlaying() const override { return playing_; }

private:
    gfx::IntRect bounds_;
    std::string movie_;
    bool visible_ = false;
    bool playing_ = false;
    bool menu_ = true;
};

}  // namespace

std::unique_ptr<FlashPlayer> FlashPlayer::Create(Window&, const gfx::IntRect& bounds) {
    if (!sim::M().flashInstalled) {
        throw FlashUnavailable("the Flash player control class is not registered");
    }
    auto player = std::make_unique<SimFlash>();
    player->SetBounds(bounds);
    return player;
}

}  // namespace plat
