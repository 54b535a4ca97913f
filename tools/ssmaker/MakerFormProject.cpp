// The maker window's project and build: opening, saving and closing, building on a job, trying,
// the settings panel and installing the built saver.

#include <filesystem>
#include <optional>
#include <utility>

#include "common/Trace.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/WinConst.h"
#include "tools/ssmaker/Install.h"
#include "tools/ssmaker/MakerForm.h"
#include "tools/ssmaker/MakerText.h"

namespace fs = std::filesystem;

namespace maker {

namespace {

constexpr char kProjectFilter[] = "Screen saver projects|*.json|All files|*.*";

// The runtime every saver is built on lies beside the maker.
std::optional<std::string> FindRuntime() {
    const fs::path runtime = fs::path(plat::OwnFileName()).parent_path() / "saver.scr";
    std::error_code ec;
    return fs::is_regular_file(runtime, ec) ? std::optional(runtime.string()) : std::nullopt;
}

}  // namespace

void TMakerForm::btnOpenClick() {
    if (!CanClose()) {
        return;
    }
    plat::OpenFileRequest request;
    request.title = "Open a Project";
    request.filter = kProjectFilter;
    const auto files = plat::ShowOpenFileDialog(request);
    if (!files.empty()) {
        OpenProject(files.front());
    }
}

bool TMakerForm::btnSaveClick() {
    std::string path = project_.Path();
    if (path.empty()) {
        plat::SaveFileRequest request;
        request.title = "Save the Project";
        request.filter = kProjectFilter;
        request.fileName = (project_.SaverName().empty() ? std::string("Screen Saver") : project_.SaverName()) + ".json";
        request.defaultExt = "json";
        const auto chosen = plat::ShowSaveFileDialog(request);
        if (!chosen) {
            return false;
        }
        path = *chosen;
    }
    try {
        project_.Save(path);
    } catch (const std::exception& e) {
        Say(path + ": " + e.what(), plat::MB_ICONERROR);
        return false;
    }
    core::Trace("Saved " + path);
    SetStatus(FileName(path));
    return true;
}

bool TMakerForm::CanClose() {
    if (!project_.Modified()) {
        return true;
    }
    switch (plat::ShowMessageBox("Save the changes to the project?", kTitle,
                                 plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION)) {
        case plat::IDYES:
            return btnSaveClick();
        case plat::IDNO:
            return true;
        default:
            return false;
    }
}

// Building

std::string TMakerForm::DefaultOutput() const {
    const std::string name = project_.SaverName().empty() ? std::string("Screen Saver") : project_.SaverName();
    const fs::path folder = project_.Path().empty() ? fs::path() : fs::path(project_.Path()).parent_path();
    return (folder / (name + ".scr")).string();
}

void TMakerForm::btnBuildClick() {
    if (Busy()) {
        return;
    }
    if (project_.ItemCount() == 0) {
        Say("Add pictures or videos first: a screen saver without them would show nothing.", plat::MB_ICONWARNING);
        return;
    }
    const auto runtime = FindRuntime();
    if (!runtime) {
        Say("saver.scr was not found beside the maker; keep the two in one folder.", plat::MB_ICONERROR);
        return;
    }
    // A project the builder would refuse says why before anything is asked.
    sspack::Manifest manifest = project_.ToManifest();
    if (output_.empty()) {
        plat::SaveFileRequest request;
        request.title = "Build the Screen Saver";
        request.filter = "Screen savers|*.scr";
        const fs::path offered(DefaultOutput());
        request.initialFolder = offered.parent_path().string();
        request.fileName = offered.filename().string();
        request.defaultExt = "scr";
        const auto chosen = plat::ShowSaveFileDialog(request);
        if (!chosen) {
            return;
        }
        output_ = *chosen;
    }
    BuildRequest request{std::move(manifest), *runtime, output_};
    ui_.pbBuild.value = 0;
    SetStatus("Checking the files...");
    job_.Start(
        std::move(request),
        [this](std::size_t done, std::size_t total) {
            ui_.pbBuild.maximum = static_cast<int>(total);
            ui_.pbBuild.value = static_cast<int>(done);
            Sync();
        },
        [this](const BuildOutcome& outcome) {
            BuildDone(outcome);
            Sync();
        });
    ShowBusy();
}

void TMakerForm::BuildDone(const BuildOutcome& outcome) {
    static constexpr const char* kResults[] = {"built", "refused", "cancelled", "failed"};
    core::Trace(std::string("Build ") + kResults[static_cast<int>(outcome.result)] + ": " + output_);
    ShowBusy();
    switch (outcome.result) {
        case BuildOutcome::Result::Built:
            built_ = output_;
            ui_.pbBuild.value = ui_.pbBuild.maximum;
            SetStatus("Built " + FileName(built_));
            break;
        case BuildOutcome::Result::Refused: {
            ui_.pbBuild.value = 0;
            SetStatus("Not built");
            std::string text = "Nothing was built: the screen saver would skip these.\n";
            for (const auto& problem : outcome.problems) {
                text += "\n" + problem;
            }
            Say(text, plat::MB_ICONWARNING);
            break;
        }
        case BuildOutcome::Result::Cancelled:
            ui_.pbBuild.value = 0;
            SetStatus("Build cancelled");
            break;
        case BuildOutcome::Result::Failed:
            ui_.pbBuild.value = 0;
            SetStatus("Not built");
            Say(outcome.error, plat::MB_ICONERROR);
            break;
    }
    ui_.btnTry.enabled = ui_.btnSettings.enabled = ui_.btnInstall.enabled = !built_.empty();
}

void TMakerForm::btnCancelClick() {
    if (Busy()) {
        job_.Cancel();
        adding_.Cancel();
        SetStatus("Cancelling...");
    }
}

void TMakerForm::btnTryClick() {
    if (!plat::StartProcess("\"" + built_ + "\" /s", plat::SW_SHOWNORMAL)) {
        Say(built_ + ": " + plat::LastErrorText(), plat::MB_ICONERROR);
    }
}

void TMakerForm::btnSettingsClick() {
    if (!plat::StartProcess("\"" + built_ + "\" /c", plat::SW_SHOWNORMAL)) {
        Say(built_ + ": " + plat::LastErrorText(), plat::MB_ICONERROR);
    }
}

void TMakerForm::btnInstallClick() {
    const std::string name =
        project_.SaverName().empty() ? fs::path(built_).stem().string() : project_.SaverName();
    const std::string installed = InstallSaver(built_, name);
    Say(name + " is now your screen saver.\n\nIt was put in " + installed, plat::MB_ICONINFORMATION);
}


}  // namespace maker
