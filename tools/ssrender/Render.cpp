#include "tools/ssrender/Render.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "common/Flags.h"
#include "common/Paths.h"
#include "gfx/decode/PictureFile.h"
#include "gfx/io/ImageFiles.h"
#include "platform/MessageLoop.h"
#include "platform/Surface.h"
#include "platform/Window.h"
#include "platform/sim/Sim.h"
#include "platform/sim/SimSurface.h"
#include "slideshow/FirstFrame.h"
#include "tools/sspack/PictureCheck.h"
#include "tools/ssrender/TinyFont.h"
#include "transitions/Catalogue.h"
#include "transitions/StartTransition.h"
#include "transitions/TransThread.h"

namespace ssrender {

namespace {

// A fresh machine for each run; the frame observer is process-wide, so it is removed again.
class FreshMachine {
public:
    FreshMachine() { Reset(); }
    ~FreshMachine() {
        trans::SetFrameObserver({});
        Reset();
    }
    FreshMachine(const FreshMachine&) = delete;
    FreshMachine& operator=(const FreshMachine&) = delete;

private:
    static void Reset() {
        sim::Reset();
        core::ResetFlags();
    }
};

gfx::TBitmap32 Fitted(const gfx::TBitmap32& picture, gfx::IntSize size) {
    if (picture.Width() == size.width && picture.Height() == size.height) {
        return picture;
    }
    gfx::TBitmap32 fitted(size.width, size.height);
    picture.DrawTo(fitted, fitted.BoundsRect());
    return fitted;
}

}  // namespace

gfx::TBitmap32 ReadPicture(const std::string& path) {
    if (const auto picture = gfx::LoadPictureFile(path)) {
        return show::FirstFrameOf(*picture);
    }
    const auto problem = sspack::PictureProblem(path, core::ExtractFileExt(path));
    // What the check lets through and still does not load here is a metafile: only Windows draws those.
    throw std::runtime_error(path + ": " + problem.value_or("a metafile, which only Windows draws"));
}

std::int32_t RunTransition(const Transition& t, const FrameSink& sink) {
    FreshMachine machine;
    const gfx::IntRect bounds = t.to.BoundsRect();
    plat::Window::Options options;
    options.caption = "ssrender";
    options.bounds = bounds;
    options.border = plat::BorderStyle::None;
    auto window = plat::Window::Create(options, {});
    auto surface = plat::Surface::Create(*window, bounds);
    sim::SimSurface& canvas = sim::AsSim(*surface);
    surface->Bitmap() = Fitted(t.from, bounds.Size());
    surface->Changed();

    // A screen has no transparency: the sink sees each frame as the screen shows it, opaque (the fades
    // compose with alpha below 255).
    std::int32_t calls = 0;
    gfx::TBitmap32 shown;
    auto frame = [&] {
        ++calls;
        shown = canvas.Canvas();
        shown.MakeOpaque();
        sink(shown, sim::Now());
    };
    frame();
    trans::SetFrameObserver(frame);
    bool done = false;
    trans::StartTransition(*surface, t.to, t.effect, t.delayMs, t.frames, false);
    if (trans::TTransThread* worker = core::Flags().ActiveTransition) {
        worker->OnTerminate = [&done] { done = true; };
    } else {
        done = true;  // effect 0: copied at once
        frame();
    }
    while (!done) {
        plat::ProcessMessages();
    }
    return calls;
}

namespace {

std::int32_t WriteFrames(const std::string& folder, const Transition& t) {
    std::filesystem::create_directories(folder);
    std::int32_t index = 0;
    RunTransition(t, [&](const gfx::TBitmap32& canvas, std::uint64_t) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04d.png", static_cast<int>(++index));
        gfx::io::WritePng((std::filesystem::path(folder) / name).string(), canvas);
    });
    return index;
}

// Each frame is written when the next one arrives, so that it stays on screen as long as it did on
// the simulated one; the old picture and the end are held a little longer.
std::int32_t WriteGif(const std::string& file, const Transition& t) {
    gfx::io::TGifWriter gif(file, t.to.Width(), t.to.Height());
    gfx::TBitmap32 pending;
    std::uint64_t pendingTime = 0;
    std::int32_t count = 0;
    RunTransition(t, [&](const gfx::TBitmap32& canvas, std::uint64_t time) {
        if (count > 0) {
            const int delay = count == 1 ? 50 : std::max(2, static_cast<int>((time - pendingTime + 5) / 10));
            gif.AddFrame(pending, delay);
        }
        pending = canvas;
        pendingTime = time;
        ++count;
    });
    gif.AddFrame(pending, 150);
    gif.Close();
    return count;
}

}  // namespace

std::int32_t RenderEffect(const EffectOptions& o) {
    Transition t{{}, {}, o.effect, o.frames, o.delayMs};
    if (o.from.empty() && o.to.empty()) {
        const gfx::IntSize size = o.size.value_or(gfx::IntSize{160, 120});
        t.from = SamplePicture(0, size);
        t.to = SamplePicture(1, size);
    } else {
        const gfx::TBitmap32 to = ReadPicture(o.to);
        const gfx::IntSize size = o.size.value_or(gfx::IntSize{to.Width(), to.Height()});
        t.from = Fitted(ReadPicture(o.from), size);
        t.to = Fitted(to, size);
    }
    if (!o.gifFile.empty()) {
        return WriteGif(o.gifFile, t);
    }
    return WriteFrames(o.outDir, t);
}

namespace {

constexpr gfx::Color32 kSheetBackground = 0xFF202124;
constexpr gfx::Color32 kNumberColour = 0xFFFFD54F;
constexpr gfx::Color32 kNameColour = 0xFFE8EAED;
constexpr std::int32_t kPad = 6;
constexpr std::int32_t kLineHeight = kGlyphHeight + 2;

// The label's words in at most two lines of the given width; a longer one ends in "..".
std::vector<std::string> WrapLabel(const std::string& text, std::int32_t width) {
    std::istringstream words(text);
    std::vector<std::string> lines(1);
    std::string word;
    while (words >> word) {
        const std::string joined = lines.back().empty() ? word : lines.back() + " " + word;
        if (TextWidth(joined) <= width || lines.back().empty()) {
            lines.back() = joined;
        } else if (lines.size() < 2) {
            lines.push_back(word);
        } else {
            lines.back() += " " + word;
        }
    }
    for (std::string& line : lines) {
        if (TextWidth(line) > width) {
            while (!line.empty() && TextWidth(line + "..") > width) {
                line.pop_back();
            }
            line += "..";
        }
    }
    return lines;
}

// The canvas after `index` calls of the sink (0 is the old picture).
gfx::TBitmap32 CanvasAt(const Transition& t, std::int32_t index) {
    gfx::TBitmap32 shot;
    std::int32_t call = 0;
    RunTransition(t, [&](const gfx::TBitmap32& canvas, std::uint64_t) {
        if (call++ == index) {
            shot = canvas;
        }
    });
    return shot;
}

}  // namespace

void RenderSheet(const SheetOptions& o) {
    const gfx::IntSize size = o.size;
    const gfx::TBitmap32 from = o.from.empty() ? SamplePicture(0, size) : Fitted(ReadPicture(o.from), size);
    const gfx::TBitmap32 to = o.to.empty() ? SamplePicture(1, size) : Fitted(ReadPicture(o.to), size);
    const auto count = static_cast<std::int32_t>(o.effects.size());
    const std::int32_t columns = std::clamp(o.columns, 1, std::max(count, 1));
    const std::int32_t rows = (count + columns - 1) / columns;
    const std::int32_t cellWidth = size.width + 2 * kPad;
    const std::int32_t cellHeight = size.height + 2 * kPad + 2 * kLineHeight;
    gfx::TBitmap32 sheet(std::max(columns * cellWidth, 1), std::max(rows * cellHeight, 1), kSheetBackground);

    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t effect = o.effects[static_cast<std::size_t>(i)];
        const Transition t{from, to, effect, o.frames, 10};
        // The sink is called once for the old picture, once per frame and once after the final
        // frame; the fraction counts the frames in between.
        const std::int32_t frames = RunTransition(t, [](const gfx::TBitmap32&, std::uint64_t) {}) - 2;
        const auto index =
            std::clamp(static_cast<std::int32_t>(std::lround(o.at * frames)), 0, std::max(frames, 0));
        const gfx::TBitmap32 shot = CanvasAt(t, index);

        const std::int32_t x = (i % columns) * cellWidth + kPad;
        const std::int32_t y = (i / columns) * cellHeight + kPad;
        sheet.CopyRect({x, y}, shot, shot.BoundsRect());
        const std::string number = std::to_string(effect) + " ";
        const std::int32_t numberWidth = TextWidth(number) + 1;
        DrawText(sheet, x, y + size.height + 3, number, kNumberColour);
        const auto lines = WrapLabel(std::string(trans::EffectName(effect)), size.width - numberWidth);
        for (std::size_t line = 0; line < lines.size(); ++line) {
            DrawText(sheet, x + numberWidth, y + size.height + 3 + static_cast<std::int32_t>(line) * kLineHeight,
                     lines[line], kNameColour);
        }
    }
    gfx::io::WritePng(o.out, sheet);
}

std::optional<gfx::IntSize> ParseSize(const std::string& text) {
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) {
        return std::nullopt;
    }
    gfx::IntSize size;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto w = std::from_chars(begin, begin + x, size.width);
    const auto h = std::from_chars(begin + x + 1, end, size.height);
    if (w.ec != std::errc{} || w.ptr != begin + x || h.ec != std::errc{} || h.ptr != end || size.width < 1 ||
        size.height < 1 || size.width > 16384 || size.height > 16384) {
        return std::nullopt;
    }
    return size;
}

std::optional<std::vector<std::int32_t>> ParseEffects(const std::string& text) {
    std::vector<std::int32_t> effects;
    std::istringstream parts(text);
    std::string part;
    auto number = [](const std::string& s, std::int32_t& value) {
        const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
        return r.ec == std::errc{} && r.ptr == s.data() + s.size() && value >= 1 && value <= trans::kEffectCount;
    };
    while (std::getline(parts, part, ',')) {
        const auto dash = part.find('-');
        std::int32_t first = 0;
        std::int32_t last = 0;
        const bool ok = dash == std::string::npos
                            ? number(part, first) && number(part, last)
                            : number(part.substr(0, dash), first) && number(part.substr(dash + 1), last);
        if (!ok || last < first) {
            return std::nullopt;
        }
        for (std::int32_t e = first; e <= last; ++e) {
            effects.push_back(e);
        }
    }
    if (effects.empty()) {
        return std::nullopt;
    }
    return effects;
}

gfx::TBitmap32 SamplePicture(int which, gfx::IntSize size) {
    gfx::TBitmap32 picture(size.width, size.height);
    const std::int32_t grid = std::max(8, size.width / 10);
    for (std::int32_t y = 0; y < size.height; ++y) {
        for (std::int32_t x = 0; x < size.width; ++x) {
            const double u = size.width > 1 ? double(x) / (size.width - 1) : 0;
            const double v = size.height > 1 ? double(y) / (size.height - 1) : 0;
            gfx::Color32 c = 0;
            if (which == 0) {
                // Deep blue to teal from top to bottom, with a light grid.
                c = gfx::MakeColor32(static_cast<std::uint8_t>(20 + 10 * u), static_cast<std::uint8_t>(50 + 120 * v),
                                     static_cast<std::uint8_t>(140 + 30 * (1 - v)));
                if (x % grid == 0 || y % grid == 0) {
                    c = 0xFFB0C4DE;
                }
            } else {
                // Amber to crimson from left to right, with diagonal stripes.
                const bool stripe = ((x + y) / std::max(4, grid / 2)) % 2 == 0;
                c = gfx::MakeColor32(static_cast<std::uint8_t>(245 - 55 * u),
                                     static_cast<std::uint8_t>((160 - 140 * u) * (stripe ? 1.0 : 0.8)),
                                     static_cast<std::uint8_t>(20 + 40 * u));
            }
            picture.SetPixel(x, y, c);
        }
    }
    const char* letter = which == 0 ? "A" : "B";
    const std::int32_t scale = std::max(1, size.height / 14);
    DrawText(picture, (size.width - TextWidth(letter, scale)) / 2, (size.height - kGlyphHeight * scale) / 2, letter,
             which == 0 ? 0xFFFFFFFF : 0xFF1A1A1A, scale);
    return picture;
}

}  // namespace ssrender
