// The preview's end on the simulated machine: it lives as long as the window it was made a child of,
// and closes in order when that window goes away without telling it.

#include <gtest/gtest.h>

#include "platform/sim/SimWindow.h"
#include "tests/sim/SaverRun.h"

namespace {

using testing_support::Json;
using testing_support::SaverRunTest;

class PreviewEnd : public SaverRunTest {
protected:
    std::string Saver() {
        Put("a.bmp", testing_support::SolidBmp(4, 4, 0, 0, 0));
        Put("preview.bmp", testing_support::SolidBmp(16, 12, 200, 30, 40));
        return Build({{"strings", {{"SaverName", "Preview End"}}},
                      {"items", {{{"file", "a.bmp"}}}},
                      {"previewImage", {{"file", "preview.bmp"}}}});
    }

    std::size_t Index(const std::string& text) const {
        return static_cast<std::size_t>(std::find(trace.begin(), trace.end(), text) - trace.begin());
    }
};

TEST_F(PreviewEnd, ThePreviewClosesInOrderWhenItsParentGoesAway) {
    const std::string saver = Saver();
    const plat::WindowHandle host = sim::AddForeignWindow("Preview host", {0, 0, 200, 150}, 0x50000000);
    sim::At(2000, [host] { sim::RemoveWindow(host); });
    const int code = Run(saver, {"/p", std::to_string(host)}, 10000);
    const std::uint64_t endedAt = sim::Now();
    EXPECT_EQ(code, 0) << "the loop ended on the quit message";
    EXPECT_GE(endedAt, 2000u);
    EXPECT_LE(endedAt, 2500u) << "soon after the parent went";
    ASSERT_TRUE(Traced("Preview parent gone"));
    // The preview's own close steps, in order, and nothing of the full-screen saver's.
    EXPECT_LT(Index("Preview parent gone"), Index("Form CLose"));
    EXPECT_LT(Index("Form CLose"), Index("Screensaver freed"));
    EXPECT_LT(Index("Screensaver freed"), Index("Form Destroy"));
    EXPECT_EQ(trace.back(), "Form Destroy");
    EXPECT_FALSE(Traced("Delete snd files"));
    EXPECT_FALSE(Traced("Displaying exit banner"));
    EXPECT_TRUE(Machine().shellOpens.empty());
}

TEST_F(PreviewEnd, ThePreviewRunsOnWhileItsParentStays) {
    const std::string saver = Saver();
    const plat::WindowHandle host = sim::AddForeignWindow("Preview host", {0, 0, 200, 150}, 0x50000000);
    EXPECT_EQ(Run(saver, {"/p", std::to_string(host)}, 5000), -1) << "still running when the run stopped";
    EXPECT_FALSE(Traced("Preview parent gone"));
    EXPECT_FALSE(Traced("Form CLose"));
}

}  // namespace
