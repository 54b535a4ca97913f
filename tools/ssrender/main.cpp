// ssrender: the runtime's transitions without Windows. It drives the real engine on the simulated
// platform and writes what the screen would show.
//
//   ssrender effect --effect N [--from A.jpg --to B.png] [--size WxH] [--frames N] [--delay MS]
//                   (--out DIR | --gif FILE)
//   ssrender sheet --out FILE.png [--size WxH] [--frames N] [--at FRACTION] [--effects 1-120]
//                  [--from A.jpg --to B.png] [--columns C]
//   ssrender run SAVER --screen WxH [--screen WxH ...] --seconds S [--seed N] [--every MS]
//                [--monitors N] --out DIR
//                [--sound-log FILE] [--media-length NAME=MS ...]

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/ssrender/Render.h"
#include "tools/ssrender/RunSaver.h"

namespace {

constexpr const char* kPictureHelp =
    "(any picture the screen saver shows: JPEG, PNG, GIF, TIFF, BMP, ICO, HEIC, HEIF, AVIF, WebP; built in when "
    "not given)";
constexpr const char* kFramesHelp =
    "Frame count N, as the slideshow hands it to an effect: each family draws the frames it draws for N "
    "(a slide N, a fade about N / 3, staggered families more)";

CLI::Validator SizeText() {
    return CLI::Validator(
        [](std::string& text) { return ssrender::ParseSize(text) ? std::string() : "expected WxH, e.g. 800x600"; },
        "WxH");
}

CLI::Validator EffectsText() {
    return CLI::Validator(
        [](std::string& text) {
            return ssrender::ParseEffects(text) ? std::string() : "expected numbers 1..120 and ranges, e.g. 1-64";
        },
        "LIST");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Renders the screen saver's transitions on the simulated platform", "ssrender");
    app.require_subcommand(1);

    ssrender::EffectOptions effect;
    std::string effectSize;
    CLI::App* effectCommand = app.add_subcommand(
        "effect",
        "One transition as PNG frames or an animated GIF: frame-0001.png is the old picture, then one "
        "file for every frame the effect draws, and the last the whole new picture");
    effectCommand
        ->add_option("--effect", effect.effect,
                     "Effect number (0 copies at once; others outside 0..120 draw a random effect)")
        ->required();
    CLI::Option* from = effectCommand->add_option("--from", effect.from, std::string("The old picture ") + kPictureHelp)
                            ->check(CLI::ExistingFile);
    CLI::Option* to = effectCommand->add_option("--to", effect.to, std::string("The new picture ") + kPictureHelp)
                          ->check(CLI::ExistingFile);
    from->needs(to);
    to->needs(from);
    effectCommand->add_option("--size", effectSize, "Canvas size; both pictures are stretched to it")
        ->check(SizeText());
    effectCommand->add_option("--frames", effect.frames, kFramesHelp)->capture_default_str();
    effectCommand->add_option("--delay", effect.delayMs, "Frame delay in ms")->capture_default_str();
    CLI::Option* out = effectCommand->add_option("--out", effect.outDir, "Folder for frame-0001.png ...");
    CLI::Option* gif = effectCommand->add_option("--gif", effect.gifFile, "Animated GIF to write instead");
    out->excludes(gif);
    gif->excludes(out);

    ssrender::SheetOptions sheet;
    std::string sheetSize = "160x120";
    std::string sheetEffects = "1-120";
    CLI::App* sheetCommand = app.add_subcommand("sheet", "A contact sheet of effects part-way through");
    sheetCommand->add_option("--out", sheet.out, "PNG file to write")->required();
    sheetCommand->add_option("--size", sheetSize, "Size of each picture")->check(SizeText())->capture_default_str();
    sheetCommand->add_option("--frames", sheet.frames, kFramesHelp)->capture_default_str();
    sheetCommand->add_option("--at", sheet.at, "How far through its frames each effect is shown")
        ->check(CLI::Range(0.0, 1.0))
        ->capture_default_str();
    sheetCommand->add_option("--effects", sheetEffects, "Effect numbers and ranges")
        ->check(EffectsText())
        ->capture_default_str();
    sheetCommand->add_option("--from", sheet.from, std::string("The old picture ") + kPictureHelp)
        ->check(CLI::ExistingFile);
    sheetCommand->add_option("--to", sheet.to, std::string("The new picture ") + kPictureHelp)
        ->check(CLI::ExistingFile);
    sheetCommand->add_option("--columns", sheet.columns, "Pictures per row")->capture_default_str();

    ssrender::RunOptions run;
    std::vector<std::string> runScreens{"1024x768"};
    int runMonitors = 1;
    CLI::App* runCommand = app.add_subcommand(
        "run",
        "A built saver running full screen, as screenshots: transition-NNNN.png when the Nth transition has "
        "ended (the new item in place), and with --every screen-TTTTTTT.png at each TTTTTTT ms of virtual "
        "time; monitor2-..., monitor3-... for the other monitors");
    runCommand->add_option("saver", run.saver, "The built saver")->required()->check(CLI::ExistingFile);
    runCommand
        ->add_option("--screen", runScreens,
                     "Screen size; repeated, one monitor each, left to right from the first, which is the primary")
        ->check(SizeText())
        ->capture_default_str();
    runCommand->add_option("--seconds", run.seconds, "Virtual seconds to run")->capture_default_str();
    runCommand->add_option("--seed", run.seed, "The random generator's seed")->capture_default_str();
    runCommand->add_option("--every", run.everyMs, "A screenshot every MS of virtual time");
    runCommand->add_option("--monitors", runMonitors, "N monitors of the one --screen size, left to right")
        ->check(CLI::Range(1, 8))
        ->capture_default_str();
    runCommand->add_option("--out", run.outDir, "Folder for the screenshots (transition-*.png, screen-*.png)")
        ->required();
    runCommand->add_option("--sound-log", run.soundLog,
                           "File for the media players' and the Flash control's events and their times");
    runCommand->add_option("--media-length", run.mediaLengths,
                           "NAME=MS: the length of media files whose headers are not read, or of Flash movies "
                           "instead of their frames, by name or extension (.mid=30000)");

    CLI11_PARSE(app, argc, argv);

    try {
        if (effectCommand->parsed()) {
            if (effect.outDir.empty() && effect.gifFile.empty()) {
                std::fprintf(stderr, "effect: give --out DIR or --gif FILE\n");
                return 2;
            }
            if (!effectSize.empty()) {
                effect.size = ssrender::ParseSize(effectSize);
            }
            const int files = ssrender::RenderEffect(effect);
            std::printf("%d frames: the old picture, %d drawn by the effect, the new picture\n", files,
                        std::max(files - 2, 0));
        } else if (runCommand->parsed()) {
            run.screen = *ssrender::ParseSize(runScreens.front());
            for (std::size_t i = 1; i < runScreens.size(); ++i) {
                run.others.push_back(*ssrender::ParseSize(runScreens[i]));
            }
            if (runScreens.size() == 1) {
                run.others.assign(static_cast<std::size_t>(runMonitors - 1), run.screen);
            }
            const ssrender::RunResult result = ssrender::RunSaverFile(run);
            if (run.everyMs > 0) {
                std::printf("%d screenshots, ", result.screenshots);
            }
            std::printf("%d transitions; items shown:", result.transitions);
            for (const std::int32_t item : result.shown) {
                std::printf(" %d", static_cast<int>(item));
            }
            std::printf("%s\n", result.shown.empty() ? " none" : "");
            for (const auto& skipped : result.skipped) {
                std::fprintf(stderr, "ssrender: %s\n", skipped.c_str());
            }
        } else {
            sheet.size = *ssrender::ParseSize(sheetSize);
            sheet.effects = *ssrender::ParseEffects(sheetEffects);
            ssrender::RenderSheet(sheet);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ssrender: %s\n", e.what());
        return 1;
    }
    return 0;
}
