#include "tools/ssrender/RunSaver.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

#include "common/Flags.h"
#include "common/Trace.h"
#include "gfx/io/ImageFiles.h"
#include "host/SSWindow.h"
#include "host/Saver.h"
#include "platform/sim/Sim.h"
#include "platform/sim/SimPanel.h"
#include "platform/sim/SimSurface.h"
#include "tools/ssrender/ScreenshotWriter.h"

namespace fs = std::filesystem;

namespace ssrender {

namespace {

std::string Numbered(const std::string& folder, const char* prefix, long number, int digits) {
    char name[64];
    std::snprintf(name, sizeof name, "%s-%0*ld.png", prefix, digits, number);
    return (fs::path(folder) / name).string();
}

class Recorder {
public:
    Recorder(const RunOptions& options, RunResult& result) : options_(options), result_(result) {}

    void Attach(host::TSSWindow& window) { window_ = &window; }

    void Screenshot(const char* prefix, long number, int digits) {
        if (window_ == nullptr) {
            return;
        }
        writer_.Write(Numbered(options_.outDir, prefix, number, digits),
                      sim::WithPanels(window_->Window().Handle(), sim::AsSim(window_->Image32()).Canvas()));
        // A monitor that went away has no more screenshots; the others keep their numbers.
        const std::vector<plat::Surface*> others = window_->MonitorImages();
        for (std::size_t other = 0; other < others.size(); ++other) {
            const std::string name = "monitor" + std::to_string(other + 2) + "-" + prefix;
            writer_.Write(Numbered(options_.outDir, name.c_str(), number, digits), sim::AsSim(*others[other]).Canvas());
        }
    }

    // Every screenshot is on disk.
    void Finish() { writer_.Finish(); }

    void TransitionDone() { Screenshot("transition", ++result_.transitions, 4); }

    void Timed(long ms) {
        Screenshot("screen", ms, 7);
        ++result_.screenshots;
    }

private:
    const RunOptions& options_;
    RunResult& result_;
    host::TSSWindow* window_ = nullptr;
    TScreenshotWriter writer_;
};

void WriteSoundLog(const std::string& file) {
    std::ofstream out(file);
    for (const sim::MediaEvent& e : sim::M().mediaLog) {
        out << e.time << '\t' << e.player << '\t' << e.event << '\t' << fs::path(e.file).filename().string() << '\t'
            << e.detail << '\n';
    }
    if (!out) {
        throw std::runtime_error("cannot write " + file);
    }
}

// "Item 3 shown" and "Item 3 skipped: why", as the slideshow traces them.
void NoteItem(std::string_view text, RunResult& result) {
    constexpr std::string_view kItem = "Item ";
    if (!text.starts_with(kItem)) {
        return;
    }
    const std::string rest(text.substr(kItem.size()));
    const auto space = rest.find(' ');
    if (rest.substr(space == std::string::npos ? rest.size() : space) == " shown") {
        result.shown.push_back(std::stoi(rest));
    } else if (const auto skipped = rest.find(" skipped: "); skipped != std::string::npos) {
        result.skipped.push_back("item " + rest.substr(0, skipped) + ": " + rest.substr(skipped + 10));
    }
}

// The message the screen saver ended with, its lines as this system writes them.
std::string MessageText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != '\r') {
            out += c;
        }
    }
    return out;
}

std::string Lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

}  // namespace

RunResult RunSaverFile(const RunOptions& options) {
    if (!fs::exists(options.saver)) {
        throw std::runtime_error("no such saver: " + options.saver);
    }
    fs::create_directories(options.outDir);
    const fs::path temp = fs::temp_directory_path() / ("ssrender-" + std::to_string(::getpid()));
    fs::create_directories(temp);

    sim::Reset();
    core::ResetFlags();
    sim::Machine& m = sim::M();
    m.ownFile = options.saver;
    m.args = {"/s"};
    m.seed = options.seed;
    m.tempPath = temp.string() + "/";
    m.monitors = {gfx::IntRect::FromSize(0, 0, options.screen.width, options.screen.height)};
    for (const gfx::IntSize& size : options.others) {
        m.monitors.push_back(gfx::IntRect::FromSize(m.monitors.back().right, 0, size.width, size.height));
    }
    m.flashInstalled = true;  // Flash items play where they go
    for (const auto& [name, ms] : options.mediaLengths) {
        m.mediaFiles[Lower(name)] = sim::MediaInfo{ms};
    }
    // The pointer stays still: only the virtual clock drives the run.
    RunResult result;
    Recorder recorder(options, result);
    core::SetTraceSink([&](std::string_view text) {
        if (text == "Restart Timer") {
            recorder.TransitionDone();
        }
        NoteItem(text, result);
    });
    if (options.everyMs > 0) {
        for (long t = 0; t <= static_cast<long>(options.seconds) * 1000; t += options.everyMs) {
            sim::At(static_cast<std::uint64_t>(t), [&recorder, t] { recorder.Timed(t); });
        }
    }
    sim::SetRunLimit(static_cast<std::uint64_t>(options.seconds) * 1000);
    host::RunSaver([&](host::TSSWindow& window) { recorder.Attach(window); });
    core::SetTraceSink({});
    recorder.Finish();
    if (!options.soundLog.empty()) {
        WriteSoundLog(options.soundLog);
    }
    const auto messages = sim::M().messageBoxes;
    sim::Reset();
    std::error_code ignored;
    fs::remove_all(temp, ignored);
    if (!messages.empty()) {
        throw std::runtime_error(MessageText(messages.front().text));
    }
    return result;
}

}  // namespace ssrender
