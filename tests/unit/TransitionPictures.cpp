#include "tests/unit/TransitionPictures.h"

#include <cstdio>
#include <sstream>

#include "transitions/Catalogue.h"
#include "transitions/SurfacePresenter.h"

namespace testing_support {

namespace {

gfx::TBitmap32 Picture(std::int32_t width, std::int32_t height, gfx::Color32 mark) {
    gfx::TBitmap32 p(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            p.SetPixel(x, y, 0xFF000000u | mark | static_cast<gfx::Color32>(y) << 11 | static_cast<gfx::Color32>(x));
        }
    }
    return p;
}

}  // namespace

gfx::TBitmap32 OldPicture(std::int32_t width, std::int32_t height) { return Picture(width, height, 0); }

gfx::TBitmap32 NewPicture(std::int32_t width, std::int32_t height) { return Picture(width, height, 0x00800000u); }

std::string DescribePixel(gfx::Color32 c) {
    char text[32];
    if ((c & 0xFF000000u) == 0xFF000000u) {
        std::snprintf(text, sizeof text, "%s(%u,%u)", (c & 0x00800000u) ? "new" : "old", c & 0x7FFu,
                      (c >> 11) & 0xFFFu);
    } else {
        std::snprintf(text, sizeof text, "0x%08X", c);
    }
    return text;
}

::testing::AssertionResult SamePicture(const gfx::TBitmap32& actual, const gfx::TBitmap32& expected) {
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height()) {
        return ::testing::AssertionFailure() << "size " << actual.Width() << "x" << actual.Height() << ", expected "
                                             << expected.Width() << "x" << expected.Height();
    }
    std::ostringstream out;
    int wrong = 0;
    for (std::int32_t y = 0; y < actual.Height(); ++y) {
        for (std::int32_t x = 0; x < actual.Width(); ++x) {
            if (actual.Pixel(x, y) != expected.Pixel(x, y) && ++wrong <= 8) {
                out << "\n  at (" << x << "," << y << "): " << DescribePixel(actual.Pixel(x, y)) << ", expected "
                    << DescribePixel(expected.Pixel(x, y));
            }
        }
    }
    if (wrong == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << wrong << " pixels differ" << out.str();
}

FamilyRun::FamilyRun(std::int32_t effect, std::int32_t width, std::int32_t height, std::int32_t frameCount)
    : old_(OldPicture(width, height)),
      new_(NewPicture(width, height)),
      canvas_(0, {0, 0, width, height}) {
    canvas_.CopyToCanvas(old_, old_.BoundsRect(), old_.BoundsRect());
    const trans::TTransImages images{&new_, &old_};
    presenter_ = std::make_unique<trans::TSurfacePresenter>(canvas_, images);
    family_ = trans::CreateFamily(effect, images, frameCount);
    more_ = family_ != nullptr;
}

bool FamilyRun::Frame() {
    if (!family_) {
        return false;
    }
    ++frames_;
    more_ = family_->DrawFrame(*presenter_);
    return more_;
}

void FamilyRun::RunTo(int frame) {
    while (frames_ < frame) {
        Frame();
    }
}

int FamilyRun::RunToEnd() {
    while (more_) {
        Frame();
    }
    return frames_;
}

::testing::AssertionResult FamilyRun::NextFrameCopies(std::initializer_list<Copy> copies) {
    return NextFrameCopies(std::vector<Copy>(copies));
}

::testing::AssertionResult FamilyRun::NextFrameCopies(const std::vector<Copy>& copies) {
    gfx::TBitmap32 expected = Canvas();
    for (const Copy& c : copies) {
        expected.CopyRect(c.to, c.from == kNew ? new_ : old_, c.source);
    }
    Frame();
    auto result = SamePicture(Canvas(), expected);
    if (!result) {
        result << "\n  after frame " << frames_;
    }
    return result;
}

}  // namespace testing_support
