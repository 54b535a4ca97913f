#include "host/ScreenSaver.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "common/Paths.h"
#include "common/Trace.h"
#include "host/ModeLetter.h"
#include "package/PackageCodec.h"
#include "package/PackageFormat.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/WinConst.h"

namespace host {

namespace {

constexpr std::uint32_t kPreviewChildStyle = plat::WS_CHILD | plat::WS_DISABLED;
constexpr std::uint32_t kOffTaskBar = plat::WS_EX_TOOLWINDOW | plat::WS_EX_TOPMOST;
constexpr char kDisplayProperties[] = "Display Properties";

// A decimal 32-bit number, the whole text and nothing else.
std::optional<std::int32_t> ParseInt(const std::string& text) {
    std::int64_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::string SecondArgument() {
    const auto args = plat::CommandLineArgs();
    return args.size() > 1 ? args[1] : std::string();
}

plat::WindowHandle ToHandle(std::int32_t value) {
    return static_cast<plat::WindowHandle>(static_cast<std::uint32_t>(value));
}

// "ScreenSaveUsePassword" is an integer on some systems and a decimal string on others.
bool PasswordRequested() {
    const auto key = plat::RegistryKey::Open("Control Panel\\Desktop", false);
    if (!key || !key->ValueExists("ScreenSaveUsePassword")) {
        return false;
    }
    switch (key->ValueType("ScreenSaveUsePassword")) {
        case plat::RegValueType::Integer: return key->ReadInteger("ScreenSaveUsePassword") != 0;
        case plat::RegValueType::String: return ParseInt(key->ReadString("ScreenSaveUsePassword")).value_or(0) != 0;
        default: return false;
    }
}

}  // namespace

TScreenSaver::TScreenSaver(TForm& owner) : owner_(owner) {}

TScreenSaver::~TScreenSaver() {
    UnhookWindowProc();
    if (ModeLetter() == "C") {
        DisableDisplayProperties(false);
    }
    if (SystemKeysDisabled) {
        plat::SetScreenSaverRunning(false);
    }
    if (AutoMouseHide) {
        plat::ShowCursor(true);
    }
}

std::string TScreenSaver::ModeLetter() const { return host::ModeLetter(plat::CommandLineArgs()); }

void TScreenSaver::Fire(const TNotifyEvent& event) {
    if (event) {
        event(this);
    }
}

void TScreenSaver::HideApplicationWindow() {
    if (const plat::WindowHandle app = plat::FindTopLevelWindow(plat::ApplicationTitle())) {
        plat::ShowWindowHandle(app, plat::SW_HIDE);
    }
}

void TScreenSaver::DisableDisplayProperties(bool disable) {
    if (const plat::WindowHandle props = plat::FindTopLevelWindow(kDisplayProperties)) {
        plat::EnableWindowHandle(props, !disable);
        if (!disable) {
            plat::SetForegroundWindowHandle(props);
        }
    }
}

std::string TScreenSaver::SystemLibrary(const std::string& name) const {
    std::string folder = plat::SystemFolder();
    if (folder.empty() || folder.back() != plat::PathDelimiter()) {
        folder += plat::PathDelimiter();
    }
    return folder + name;
}

void TScreenSaver::Activate() {
    const std::string mode = ModeLetter();
    if (mode == "P") {
        DoPreview();
    } else if (mode == "S") {
        DoMainSaver();
    } else if (mode == "A") {
        DoPasswordSetting();
    } else {
        DoConfigBox();
    }
}

void TScreenSaver::DoPreview() {
    Fire(OnBeforePreviewActive);
    if (PreviewWindow) {
        HideApplicationWindow();
        plat::SetWindowExStyle(plat::ApplicationHandle(), kOffTaskBar);
        const auto parent = ParseInt(SecondArgument());
        if (parent && *parent != -1) {
            plat::Window& form = owner_.Window();
            const plat::WindowHandle parentHandle = ToHandle(*parent);
            previewParent_ = parentHandle;
            plat::SetWindowStyle(form.Handle(), plat::WindowStyle(parentHandle) | kPreviewChildStyle);
            plat::SetWindowExStyle(form.Handle(), plat::WindowExStyle(parentHandle));
            form.SetParentWindow(parentHandle);
            owner_.SetPosition(TPosition::poDesigned);
            if (AutoMaximize) {
                const gfx::IntSize screen = plat::ScreenSize();
                form.SetBounds(gfx::IntRect::FromSize(form.Bounds().left, form.Bounds().top, screen.width,
                                                      screen.height));
            }
            owner_.ScaleBy(152, form.Bounds().Width());
            form.SetBounds(gfx::IntRect::FromSize(0, 0, 152, 112));
        }
    }
    Fire(OnPreviewActive);
}

void TScreenSaver::DoMainSaver() {
    Fire(OnBeforeMainSaverActive);
    if (MainScreenSaver) {
        HideApplicationWindow();
        if (SystemKeysDisabled) {
            plat::SetScreenSaverRunning(true);
        }
        if (AutoMouseHide) {
            plat::ShowCursor(false);
        }
        plat::Window& form = owner_.Window();
        if (AutoMaximize) {
            form.SetWindowState(plat::WindowState::Maximized);
        }
        if (AutoBorderLess) {
            form.SetBorderStyle(plat::BorderStyle::None);
        }
        if (AutoOnTop) {
            form.SetStayOnTop(true);
        }
    }
    HookWindowProc();
    Fire(OnMainSaverActive);
}

void TScreenSaver::DoConfigBox() {
    Fire(OnBeforeConfigBoxActive);
    const bool fromDisplaySettings = ModeLetter() == "C";
    plat::Window& form = owner_.Window();
    if (ConfigurationBox && ConfigurationBoxStyle == TConfigBoxStyle::cbsPanel && ConfigurationBoxPanel != nullptr) {
        for (config::Control* panel : owner_.Panels()) {
            if (panel->name != ConfigurationBoxPanel->name) {
                panel->visible = false;
            }
        }
        ConfigurationBoxPanel->visible = true;
        ConfigurationBoxPanel->bounds = gfx::IntRect::FromSize(0, 0, ConfigurationBoxPanel->bounds.Width(),
                                                               ConfigurationBoxPanel->bounds.Height());
        form.SetWindowState(plat::WindowState::Normal);
        form.SetBorderStyle(plat::BorderStyle::Dialog);
        form.SetClientSize(ConfigurationBoxPanel->bounds.Size());
        owner_.SetPosition(TPosition::poScreenCenter);
        if (fromDisplaySettings) {
            DisableDisplayProperties(true);
            if (const plat::WindowHandle props = plat::FindTopLevelWindow(kDisplayProperties)) {
                plat::SetForegroundWindowHandle(props);
            }
        }
    } else if (ConfigurationBox) {
        if (fromDisplaySettings) {
            DisableDisplayProperties(true);
        }
        form.SetWindowState(plat::WindowState::Normal);
        const gfx::IntRect b = form.Bounds();
        form.SetBounds(gfx::IntRect::FromSize(-b.Width() - 100, b.top, b.Width(), b.Height()));
        plat::ShowMessageBox(ConfigurationBoxMessage, plat::ApplicationTitle(), plat::MB_OK | plat::MB_ICONINFORMATION);
        Fire(OnConfigBoxActive);
        if (fromDisplaySettings) {
            DisableDisplayProperties(false);
        }
        plat::PostQuit();
        return;
    }
    Fire(OnConfigBoxActive);
}

void TScreenSaver::DoPasswordSetting() {
    Fire(OnBeforePasswordSet);
    if (PasswordSetting) {
        HideApplicationWindow();
        owner_.Window().SetWindowState(plat::WindowState::Minimized);
        plat::SetWindowExStyle(plat::ApplicationHandle(), kOffTaskBar);
        const plat::WindowHandle window = ToHandle(ParseInt(core::UpperCase(SecondArgument())).value_or(0));
        plat::CallPasswordChange(SystemLibrary("MPR.DLL"), "SCRSAVE", window);
    }
    Fire(OnPasswordSet);
    if (PasswordSetting) {
        plat::PostQuit();
    }
}

bool TScreenSaver::VerifyPassword() {
    const plat::WindowHandle foreground = plat::ForegroundWindow();
    if (AutoMouseHide) {
        plat::ShowCursor(true);
    }
    if (ModeLetter() != "S" || !PasswordRequested()) {
        return true;
    }
    bool accepted = true;
    if (plat::CallVerifyScreenSavePassword(SystemLibrary("PASSWORD.CPL"), foreground, &accepted) !=
        plat::LibraryCall::Called) {
        return true;  // no provider, or one without the check: closing is allowed
    }
    if (!accepted && AutoMouseHide) {
        plat::ShowCursor(false);
    }
    return accepted;
}

void TScreenSaver::HookWindowProc() {
    owner_.SetProcFilter([](const plat::Message& msg) -> std::optional<std::intptr_t> {
        // The system must not start a second screen saver over the running one.
        if (msg.message == plat::WM_SYSCOMMAND && msg.wParam == plat::SC_SCREENSAVE) {
            return 0;
        }
        return std::nullopt;
    });
    hooked_ = true;
}

void TScreenSaver::UnhookWindowProc() {
    if (hooked_) {
        owner_.SetProcFilter({});
        hooked_ = false;
    }
}

void TScreenSaver::Loaded() {
    const auto panels = owner_.Panels();
    const bool owned = ConfigurationBoxPanel != nullptr &&
                       std::find(panels.begin(), panels.end(), ConfigurationBoxPanel) != panels.end();
    if (!owned) {
        ConfigurationBoxStyle = TConfigBoxStyle::cbsMessageDlg;
        ConfigurationBoxPanel = nullptr;
    } else if (AutoPanelHide) {
        ConfigurationBoxPanel->visible = false;
    }
    if (AutoEnable) {
        Activate();
    }
}

int RunAndWait(const std::string& commandLine, int showWindow) {
    if (const auto code = plat::RunProcessAndWait(commandLine, showWindow)) {
        return *code;
    }
    plat::ShowMessageBox(plat::LastErrorText(), plat::ApplicationTitle(), plat::MB_OK);
    return -1;
}

bool InstallFlashPlayer(const std::string& fileName, bool showErrors) {
    const std::string source = fileName.empty() ? plat::OwnFileName() : fileName;
    std::string target = plat::SystemFolder();
    target += plat::PathDelimiter();
    target += "FLASH.OCX";
    {
        plat::File in = plat::File::OpenRead(source);
        const std::int64_t size = in.Size();
        if (size < static_cast<std::int64_t>(pkg::kTrailerSize)) {
            return false;
        }
        std::uint8_t trailer[pkg::kTrailerSize];
        in.Seek(size - static_cast<std::int64_t>(pkg::kTrailerSize));
        in.ReadExact(trailer, sizeof trailer);
        const pkg::PackageHeader header = pkg::DecodeHeader(trailer);
        if (std::string_view(reinterpret_cast<const char*>(trailer + pkg::kHeaderSize), pkg::kMagic.size()) !=
                pkg::kMagic ||
            header.FlashPlayerSize <= 0 || header.PackageSize > size || header.PackageSize < 0 ||
            header.FlashPlayerSize > header.PackageSize) {
            return false;
        }
        in.Seek(size - header.PackageSize);
        plat::File out = plat::File::Create(target);
        std::vector<std::uint8_t> chunk(pkg::kCopyChunk);
        for (std::int64_t left = header.FlashPlayerSize; left > 0;) {
            const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, pkg::kCopyChunk));
            in.ReadExact(chunk.data(), n);
            out.Write(chunk.data(), n);
            left -= static_cast<std::int64_t>(n);
        }
    }
    if (plat::LibraryHasExport(target, "DllRegisterServer") == plat::LibraryCall::Called) {
        char command[1024];
        std::snprintf(command, sizeof command, "%s\\regsvr32.exe /s %s", plat::SystemFolder().c_str(),
                      plat::ShortPathName(target).c_str());
        RunAndWait(command, plat::SW_HIDE);
        return true;
    }
    if (showErrors) {
        core::Trace("Message box: unable to register the Flash player");
        plat::ShowMessageBox("Unable to register Macromedia Shockwave Flash.", plat::ApplicationTitle(),
                             plat::MB_ICONWARNING);
    }
    return false;
}

}  // namespace host
