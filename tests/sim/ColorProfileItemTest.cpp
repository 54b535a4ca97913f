// A photograph with a colour profile, shown by a whole run: the screen shows it in sRGB; one whose
// profile cannot be used is shown as stored, and the trace says why.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/ColorProfiles.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Bytes;
using testing_support::Json;

constexpr gfx::IntSize kScreen{320, 240};
constexpr gfx::Color32 kSkin = 0xFFE0A080;

// Within what JPEG keeps of a plain colour.
bool Near(gfx::Color32 a, gfx::Color32 b) {
    return std::abs(gfx::RedOf(a) - gfx::RedOf(b)) <= 2 && std::abs(gfx::GreenOf(a) - gfx::GreenOf(b)) <= 2 &&
           std::abs(gfx::BlueOf(a) - gfx::BlueOf(b)) <= 2;
}

class ProfiledPhoto : public testing_support::SaverRunTest {
protected:
    ProfiledPhoto() { Machine().monitors = {{0, 0, kScreen.width, kScreen.height}}; }

    // One JPEG item of one colour with the profile, shown at once at its natural size in the
    // middle of the screen; the colour of the screen's middle after it.
    gfx::Color32 Show(const Bytes& icc) {
        Put("photo.jpg", testing_support::EncodeJpeg(gfx::TBitmap32(64, 48, kSkin), 100, false, false, icc));
        const Json manifest = {
            {"header", {{"Seconds", 1}, {"Stretch", 2}, {"ExitESC", true}}},
            {"strings", {{"SaverName", "Photo"}}},
            {"items", {{{"file", "photo.jpg"}}}},
        };
        gfx::Color32 middle = 0;
        Run(Build(manifest), {"/s"}, 200, [&](host::TSSWindow& w) {
            middle = sim::AsSim(w.Image32()).Canvas().Pixel(kScreen.width / 2, kScreen.height / 2);
        });
        EXPECT_TRUE(Traced("Item 0 shown"));
        return middle;
    }
};

TEST_F(ProfiledPhoto, ShownInSrgb) {
    const Bytes& p3 = testing_support::DisplayP3Profile();
    const gfx::Color32 shown = Show(p3);
    const gfx::Color32 inSrgb = testing_support::LittleCmsToSrgb(p3, gfx::TBitmap32(1, 1, kSkin)).Pixel(0, 0);
    EXPECT_TRUE(Near(shown, inSrgb)) << std::hex << shown;
    EXPECT_FALSE(Near(shown, kSkin));
    EXPECT_TRUE(std::none_of(trace.begin(), trace.end(), [](const std::string& line) {
        return line.starts_with("Picture shown without its colour profile");
    }));
}

TEST_F(ProfiledPhoto, AnUnusableProfileIsLeftAsideAndTraced) {
    const Bytes& grey = testing_support::GreyProfile();
    const gfx::Color32 shown = Show(grey);
    EXPECT_TRUE(Near(shown, kSkin)) << std::hex << shown;
    EXPECT_TRUE(Traced("Picture shown without its colour profile: a grey colour profile on an RGB picture"));
}

}  // namespace
