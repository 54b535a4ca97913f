#include "host/SSWindow.h"

#include <algorithm>
#include <cstdlib>

#include "common/Flags.h"
#include "common/Paths.h"
#include "common/Random.h"
#include "common/Trace.h"
#include "config/PanelSettings.h"
#include "config/Translation.h"
#include "host/Cursor.h"
#include "package/Extension.h"
#include "package/PackageReader.h"
#include "package/Pieces.h"
#include "package/PlaylistStore.h"
#include "package/PreviewImage.h"
#include "package/TempFolder.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "platform/Pictures.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/WinConst.h"
#include "slideshow/Background.h"
#include "slideshow/Wallpaper.h"
#include "windows/ExitWindow.h"

namespace host {

const char* const kCanNotRunMessage =
    "The screen saver can not run because of one of the following reasons:\r\n"
    "\r\n"
    "* The file is corrupted\r\n"
    "* Your computer is out of resources\r\n"
    "* Windows error";

namespace {

constexpr int kMoveThreshold = 5;

core::ProcessFlags& F() { return core::Flags(); }

bool IsKeyMessage(std::uint32_t m) {
    return m == plat::WM_KEYDOWN || m == plat::WM_KEYUP || m == plat::WM_SYSKEYDOWN || m == plat::WM_SYSKEYUP;
}

bool IsButtonOrActivation(std::uint32_t m) {
    return m == plat::WM_ACTIVATE || m == plat::WM_NCACTIVATE || m == plat::WM_ACTIVATEAPP ||
           m == plat::WM_LBUTTONDOWN || m == plat::WM_RBUTTONDOWN || m == plat::WM_MBUTTONDOWN;
}

std::uint32_t IntervalMs(std::int64_t seconds) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(seconds * 1000, 0, 0x7FFFFFFF));
}

std::string Describe(const pkg::SaverSettings& s) {
    std::string effects;
    for (const char c : s.Effect) {
        effects += (effects.empty() ? "" : ",") + std::to_string(static_cast<unsigned char>(c));
    }
    auto b = [](bool v) { return v ? "1" : "0"; };
    return "Seconds=" + std::to_string(s.Seconds) + " Stretch=" + std::to_string(s.Stretch) +
           " DisplayOrder=" + std::to_string(s.DisplayOrder) + " DesktopStart=" + b(s.DesktopStart) +
           " Loop=" + b(s.Loop) + " Mute=" + b(s.Mute) + " ShuffleMelody=" + b(s.ShuffleMelody) +
           " Effect=" + effects + " EffectSpeed=" + std::to_string(s.EffectSpeed) +
           " PlayOneRandom=" + b(s.PlayOneRandom) + " ExitMouseMove=" + b(s.ExitMouseMove) +
           " ExitMouseButton=" + b(s.ExitMouseButton) + " ExitKeyboard=" + b(s.ExitKeyboard) +
           " ExitESC=" + b(s.ExitESC) + " UseCustomPlaylist=" + b(s.UseCustomPlaylist) +
           " DisableTwoMonitors=" + b(s.DisableTwoMonitors);
}

}  // namespace

TSSWindow::TSSWindow()
    : TForm("Screen Saver", {637, 541}),
      preview_([this] { return cfg_.lbEffects.itemIndex; }),
      timer_([this] { TimerTimer(); }, 5000, false),
      music_(package_, plat::OwnFileName(), settings_),
      presentation_({Window(), timer_, sequencer_, SetCursorVisible, [this] { Close(); }, [this] { preparer_.Discard(); }}) {
    Window().SetColor(0);
    screenSaver_ = std::make_unique<TScreenSaver>(*this);
    screenSaver_->AutoEnable = false;
    screenSaver_->ConfigurationBoxStyle = TConfigBoxStyle::cbsPanel;
    screenSaver_->ConfigurationBoxPanel = &cfg_.CfgBox;
    screenSaver_->OnPreviewActive = [this](void*) { ScreenSaverPreviewActive(); };
    screenSaver_->OnMainSaverActive = [this](void*) { ScreenSaverMainSaverActive(); };
    screenSaver_->OnConfigBoxActive = [this](void*) { ScreenSaverConfigBoxActive(); };
    screenSaver_->Loaded();
    music_.SndPlay().SetNotifyHandler([this](plat::MediaNotice notice) { SndPlayNotify(notice); });
    plat::SetApplicationMinimizeHandler([this] { ApplicationEventsMinimize(); });
    FormCreate();
}

TSSWindow::~TSSWindow() {
    plat::SetApplicationMinimizeHandler({});
    plat::SetMessageHook({});
    FormDestroy();
}

std::vector<config::Control*> TSSWindow::Panels() {
    return {&presentation_.PresPanel, &cfg_.CfgBox, &cfg_.BannerPlaceHolderPanel, &cfg_.PanelWebBanner,
            &cfg_.ConfigControlsPanel};
}

void TSSWindow::FormCreate() {
    if (core::UpperCase(core::ExtractFileExt(plat::OwnFileName())) == ".EXE") {
        F().PresentationMode = true;
        screenSaver_->DoMainSaver();
        presentation_.CreatePanel();
        SetCursorVisible(false);
    } else {
        screenSaver_->Activate();
    }
    core::Trace(F().PresentationMode ? "Mode presentation"
                : F().PreviewMode    ? "Mode preview"
                : F().SaverActive    ? "Mode saver"
                                     : "Mode configuration " + screenSaver_->ModeLetter());
    plat::SetWindowExStyle(plat::ApplicationHandle(), plat::WS_EX_TOOLWINDOW);
    CreateImage32();

    if (F().SaverActive) {
        if (F().PreviewMode) {
            Window().SetColor(0);
            LoadPreviewImage();
        } else {
            core::Randomize();
            if (!ReadData(false)) {
                plat::PostQuit();
            } else {
                if (F().PresentationMode && !package_.header.AllowRunAsProgram) {
                    core::Trace("Presentation not allowed");
                    plat::PostQuit();
                }
                CreateFlash();
                if (package_.header.FlashPlayerSize > 0) {
                    flash_->CreateControl();
                }
                plat::SetMessageHook([this](plat::Message& msg, bool& handled) { DeactivateScrSaver(msg, handled); });
                OpenMonitors();
                CreateLoader();
                music_.StartMusic();
                StartSlideshow();
            }
        }
    } else if (configShown_) {
        AdjustPlaylistGroup();
        CreatePanelControls();
    }
    const plat::WindowHandle self = Window().Handle();
    plat::RegisterHotKey(self, 1, 0, plat::VK_SNAPSHOT);
    plat::RegisterHotKey(self, 2, plat::MOD_CONTROL | plat::MOD_ALT, plat::VK_SNAPSHOT);
}

void TSSWindow::CreateImage32() {
    const gfx::IntSize screen = plat::ScreenSize();
    image32_ = plat::Surface::Create(Window(), gfx::IntRect::FromSize(0, 0, screen.width, screen.height));
    image32_->Bitmap().SetSize(screen.width, screen.height);
    // Only the full-screen saver shows it; until its first frame it shows the window's colour.
    image32_->SetVisible(F().SaverActive && !F().PreviewMode);
    panelDisplay_ = plat::Panel::Create(Window(), image32_->Bounds(), Window().Color());
}

void TSSWindow::FormShow() { panelShownAt_ = plat::CursorPos(); }

void TSSWindow::FormHide() { plat::SetMessageHook({}); }

void TSSWindow::FormDestroy() {
    const plat::WindowHandle self = Window().Handle();
    plat::UnregisterHotKey(self, 1);
    plat::UnregisterHotKey(self, 2);
    config::FreeTranslationTable();
    core::Trace("Form Destroy");
}

void TSSWindow::Close() {
    if (closed_) {
        return;
    }
    FormClose();
    plat::PostQuit();
}

void TSSWindow::FormClose() {
    closed_ = true;
    core::Trace("Form CLose");
    timer_.SetEnabled(false);
    preparer_.Discard();
    gif_.StopGif();
    Window().Hide();
    FormHide();
    // Every surface a transition draws on outlives the frames it can still hand over.
    StopTransition(true);
    F().TransAbort = true;
    SetCursorVisible(true);
    plat::RemoveFile(pkg::TempFolder() + "SSDATA.DAT");
    screenSaver_.reset();
    core::Trace("Screensaver freed");

    if (!F().PreviewMode) {
        core::Trace("Delete snd files");
        StopPlayers();
        music_.DeleteCurrentTrackFile();
        core::Trace("Extradata exitlink stuff");
        if (F().SaverActive && !ExitLink().empty()) {
            core::Trace("Open " + ExitLink());
            plat::ShellOpen(ExitLink(), plat::SW_SHOWNORMAL);
        }
        if (!F().SaverActive) {
            WritePanelSettings();
        }
    }
    if (F().SaverActive) {
        try {
            core::Trace("Freeing backg");
            core::Trace("Freeing gifbackg");
            core::Trace("Freeing bgimg");
            core::Trace("Freeing logo");
            core::Trace("Freeing MemImage");
            if (flash_) {
                flash_->Destroy();
            }
            monitors_.clear();
            package_.items.clear();
        } catch (...) {
        }
        if (!F().PreviewMode && !F().TransBusy) {
            DisplayExitBanner();
        }
    }
}

void TSSWindow::StopTransition(bool shutdown) {
    if (!F().TransBusy && F().TransPending == 0) {
        return;
    }
    core::Trace("Stopping the transition");
    F().TransAbort = true;
    if (shutdown) {
        F().TransShutdown = true;  // no final frame: the window goes
    }
    // The worker sees the flags at its next frame; its hand-overs and its completion handler are
    // served meanwhile, so the wait is about one frame long.
    plat::RunModalLoop([] { return !F().TransBusy && F().TransPending == 0; });
}

// A value that cannot be stored is said, never lost without a word.
void TSSWindow::WritePanelSettings() {
    const pkg::SaverSettings chosen = config::SettingsFromPanel(cfg_);
    const std::vector<std::string> failed =
        pkg::WriteSettings(chosen, pkg::SettingsKey(package_.strings[pkg::PackageString::SaverName]));
    if (failed.empty()) {
        core::Trace("Settings written: " + Describe(chosen));
        return;
    }
    std::string names;
    for (const std::string& name : failed) {
        names += (names.empty() ? "" : ", ") + name;
    }
    core::Trace("Settings not stored: " + names);
    plat::ShowMessageBox("These settings could not be stored and will be lost:\r\n\r\n" + names,
                         plat::ApplicationTitle(), plat::MB_ICONERROR);
}

void TSSWindow::DisplayExitBanner() {
    // Both the close and a transition that ends the saver ask for it; it shows once.
    if (exitBannerShown_ || package_.header.ExitBannerStoredSize <= 0) {
        return;
    }
    core::Trace("Displaying exit banner");
    try {
        // The own file stays open, for others to read only, while the banner is taken out of it.
        const plat::File own = plat::File::OpenRead(plat::OwnFileName());
        exitBannerShown_ = true;
        side::TExitWindow banner(package_.strings[pkg::PackageString::ExitBannerLink], Window().Handle());
        const auto piece = pkg::ExitBannerPiece(package_.header);
        const auto file = piece ? pkg::ExtractPiece(plat::OwnFileName(), *piece) : std::nullopt;
        // The banner's file stays: the next run overwrites it.
        if (!file || !banner.LoadBanner(*file)) {
            core::Trace("Exit banner not readable");
            return;
        }
        banner.ShowModal();
        core::Trace("Exit banner closed");
    } catch (const std::exception&) {
        // No banner and no message.
    }
}

void TSSWindow::SetCurrentImageAsWallpaper() {
    if (!loader_ || loader_->StillIndex < 0) {
        return;  // a Flash or video item is showing, or nothing yet
    }
    preparer_.Discard();
    show::DrawWallpaperNotice(*image32_);
    show::SetItemAsWallpaper(package_, plat::OwnFileName(), loader_->StillIndex, settings_.Stretch);
}

void TSSWindow::DeactivateScrSaver(plat::Message& msg, bool& handled) {
    if (F().InputSuspended) {
        return;
    }
    const bool keyDown = msg.message == plat::WM_KEYDOWN;
    bool ending = false;
    if (msg.message == plat::WM_MOUSEMOVE) {
        const gfx::IntPoint pos = plat::CursorPos();
        bool moved = std::abs(pos.x - panelShownAt_.x) > kMoveThreshold ||
                     std::abs(pos.y - panelShownAt_.y) > kMoveThreshold;
        if (F().PresentationMode && moved) {
            panelShownAt_ = pos;
            presentation_.ShowPanel();
        }
        if (!settings_.ExitMouseMove && moved) {
            SetCursorVisible(true);
            moved = false;
        }
        ending = moved;
    } else {
        if (F().PresentationMode && msg.message == plat::WM_LBUTTONDOWN) {
            presentation_.LeftButtonDown(plat::CursorPos());
        }
        ending = (IsKeyMessage(msg.message) && settings_.ExitKeyboard) ||
                 (IsButtonOrActivation(msg.message) && settings_.ExitMouseButton) ||
                 (keyDown && msg.wParam == plat::VK_ESCAPE && settings_.ExitESC);
    }
    if (ending && keyDown && msg.wParam == plat::VK_F1) {
        const std::string& help = package_.strings[pkg::PackageString::HelpKeyLink];
        if (!help.empty()) {
            package_.strings[pkg::PackageString::ExitLink] = help;
        }
    }
    if (ending && keyDown && msg.wParam == plat::VK_F2 && package_.header.AllowWallpaperKey) {
        ending = false;
        wallpaperKeyDown_ = true;
        core::Trace("Wallpaper key");
        SetCurrentImageAsWallpaper();
    } else if (msg.message == plat::WM_KEYUP && msg.wParam == plat::VK_F2 && wallpaperKeyDown_) {
        // The release belongs to the press that set the wallpaper: it does not end the saver either.
        ending = false;
        wallpaperKeyDown_ = false;
    }
    // An access key of the presentation panel is taken there, not passed on to the window.
    const bool accessKey = F().PresentationMode && (msg.message == plat::WM_CHAR || msg.message == plat::WM_SYSCHAR) &&
                           presentation_.AccessKey(msg.wParam);
    FinishScreenSaver(ending);
    if (!ending) {
        handled = accessKey;
    }
}

void TSSWindow::FinishScreenSaver(bool ending) {
    if (ending) {
        core::Trace("FinishScreenSaver");  // every input passes here; only an ending is worth a line
    }
    if (ending && F().TransBusy) {
        // The transition stops first; its completion handler asks for the password and ends the
        // saver. Until then everything plays on, so that a rejected password changes nothing.
        F().TransAbort = true;
        F().TransShutdown = true;
        return;
    }
    if (ending) {
        Suspend();
        if (screenSaver_ && !screenSaver_->VerifyPassword()) {
            core::Trace("Password rejected");
            ending = false;
        }
        Resume();
    }
    if (!ending) {
        return;
    }
    try {
        gif_.StopGif();
        StopPlayers();
        Close();
    } catch (...) {
    }
    core::Trace("FinishScreenSaver done");
}

// The video, the music and the entry sound stop, and their temporary files go.
void TSSWindow::StopPlayers() {
    if (video_) {
        video_->Stop();
    }
    music_.StopAll();
}

void TSSWindow::ApplicationEventsMinimize() {
    if (!F().SaverActive) {
        return;
    }
    Window().Hide();
    plat::ShellOpen(plat::OwnFileName(), plat::SW_SHOWMAXIMIZED);
    Close();
}

void TSSWindow::Suspend() {
    F().InputSuspended = true;
    timer_.SetEnabled(false);
}

void TSSWindow::Resume() {
    timer_.SetEnabled(true);
    F().InputSuspended = false;
}

void TSSWindow::ScreenSaverPreviewActive() {
    F().PreviewMode = true;
    ScreenSaverMainSaverActive();
}

void TSSWindow::ScreenSaverMainSaverActive() { F().SaverActive = true; }

// Every monitor besides the main one gets a window over exactly its rectangle, showing its own
// background until its first item.
void TSSWindow::OpenMonitors() {
    for (std::size_t other = 0; other < otherMonitors_.size(); ++other) {
        OpenMonitor(other);
    }
    monitorsOpen_ = !settings_.DisableTwoMonitors && !F().PreviewMode;
}

void TSSWindow::OpenMonitor(std::size_t other) {
    const gfx::IntRect& rect = otherMonitors_[other];
    plat::Window::Options options;
    options.bounds = rect;
    options.border = plat::BorderStyle::None;
    options.color = Window().Color();
    options.owner = plat::ApplicationHandle();
    TMonitorScreen screen{rect, plat::Window::Create(options, {}), nullptr};
    screen.image = plat::Surface::Create(*screen.window, gfx::IntRect::FromSize(0, 0, rect.Width(), rect.Height()));
    screen.image->Bitmap() = overlays_.OtherBackground(other);
    screen.image->Changed();
    screen.image->SetVisible(true);
    screen.window->Show();
    monitors_.push_back(std::move(screen));
    core::Trace("Monitor " + std::to_string(other + 2) + ": " + std::to_string(rect.left) + "," +
                std::to_string(rect.top) + " " + std::to_string(rect.Width()) + "x" + std::to_string(rect.Height()));
}

std::vector<plat::Surface*> TSSWindow::MonitorImages() const {
    std::vector<plat::Surface*> images;
    for (const TMonitorScreen& screen : monitors_) {
        images.push_back(screen.image.get());
    }
    return images;
}

// A monitor that is no longer there loses its window, and one that came gets a window and the last
// turn; the slideshow goes on on the others.
void TSSWindow::OnDisplayChange() {
    if (closed_ || !monitorsOpen_) {
        return;
    }
    const std::vector<gfx::IntRect> now = plat::Monitors();
    if (now.empty()) {
        return;
    }
    // Closing one serves messages, and with them perhaps the next notice: the list may shrink meanwhile.
    for (std::size_t other = monitors_.size(); other-- > 0;) {
        if (other < monitors_.size() &&
            std::find(now.begin() + 1, now.end(), monitors_[other].rect) == now.end()) {
            CloseMonitor(other);
        }
    }
    // A monitor under the main window (the main monitor moved elsewhere) is not taken up twice.
    const gfx::IntRect main = Window().Bounds();
    for (auto rect = now.begin() + 1; rect != now.end(); ++rect) {
        if (!closed_ && std::find(otherMonitors_.begin(), otherMonitors_.end(), *rect) == otherMonitors_.end() &&
            rect->Intersect(main).IsEmpty()) {
            otherMonitors_.push_back(*rect);
            overlays_.AddOtherMonitor(*rect);
            OpenMonitor(otherMonitors_.size() - 1);
            if (loader_) {
                loader_->AddOther(*monitors_.back().image);
            }
        }
    }
}

void TSSWindow::CloseMonitor(std::size_t other) {
    const bool showsItem = loader_ && &loader_->TargetSurface() == monitors_[other].image.get();
    core::Trace("Monitor " + std::to_string(other + 2) + " gone");
    // No item goes there from now on; then whatever still draws on it stops.
    if (loader_) {
        loader_->DropOther(other);
    }
    overlays_.DropOtherMonitor(other);
    otherMonitors_.erase(otherMonitors_.begin() + static_cast<std::ptrdiff_t>(other));
    // The window stands until nothing draws on it any more.
    const TMonitorScreen gone = std::move(monitors_[other]);
    monitors_.erase(monitors_.begin() + static_cast<std::ptrdiff_t>(other));
    if (showsItem) {
        gif_.StopGif();
        if (F().TransBusy || F().TransPending > 0) {
            // Cut short like Next does; its last hand-overs and its completion handler are served
            // while the window still stands, about one frame.
            F().TransCancel = true;
            plat::RunModalLoop([] { return !F().TransBusy && F().TransPending == 0; });
        }
    }
}

bool TSSWindow::ReadData(bool configOnly) {
    try {
        ReadPackageSteps(configOnly);
        core::Trace("Package read");
    } catch (const std::exception& e) {
        core::Trace(std::string("Package not readable: ") + e.what());
        if (F().PresentationMode) {
            pkg::ApplyPresentationExit(settings_);
        }
        SetCursorVisible(true);
        core::Trace("Message box: can not run");
        plat::ShowMessageBox(kCanNotRunMessage, plat::ApplicationTitle(), plat::MB_ICONERROR);
        plat::PostQuit();
        return false;
    }
    if (!configOnly) {
        // Until the first item the slideshow surface shows the background.
        image32_->Bitmap() = overlays_.Background();
        image32_->Changed();
    }
    if (F().PresentationMode) {
        pkg::ApplyPresentationExit(settings_);
    } else if (!configOnly && !settings_.ExitMouseMove && !settings_.ExitMouseButton && !settings_.ExitKeyboard &&
               !settings_.ExitESC) {
        // With every exit condition off nothing could end the saver; the panel never allows that.
        settings_.ExitESC = true;
    }
    return true;
}

void TSSWindow::ReadPackageSteps(bool configOnly) {
    pkg::PackageReader reader(plat::OwnFileName());
    auto& h = package_.header;
    h = reader.ReadHeader();
    package_.strings = reader.ReadStrings(h);

    config::BuildTranslationTable(package_.strings[pkg::PackageString::TranslationText], "Screen Saver");
    cfg_.RenameFormControls();

    settings_ = pkg::DefaultSettings(h, package_.strings);
    pkg::ReadSettings(settings_, pkg::SettingsKey(package_.strings[pkg::PackageString::SaverName]));
    config::ApplySettingsToPanel(settings_, cfg_, static_cast<int>(plat::Monitors().size()));
    timer_.SetInterval(IntervalMs(settings_.Seconds));
    core::Trace("Panel " + Describe(config::SettingsFromPanel(cfg_)));

    ApplyHeaderToPanel();
    if (configOnly) {
        return;
    }
    RandomizeBackground();
    package_.items = reader.ReadItems(h);
    package_.masks = reader.ReadMasks(h);
    package_.entrySounds = reader.ReadEntrySounds(h);
    core::Trace("Items " + std::to_string(package_.items.size()));
    otherMonitors_.clear();
    const std::vector<gfx::IntRect> monitors = plat::Monitors();
    if (!settings_.DisableTwoMonitors && monitors.size() > 1) {
        otherMonitors_.assign(monitors.begin() + 1, monitors.end());
    }
    overlays_.Build(package_, plat::OwnFileName(), image32_->Bounds().Size(), otherMonitors_);
    LoadSoundTable(reader);
}

void TSSWindow::ApplyHeaderToPanel() {
    const auto& h = package_.header;
    const std::string& name = package_.strings[pkg::PackageString::SaverName];
    plat::SetApplicationTitle(name);
    Window().SetCaption(name);
    cfg_.btnWebsite.visible = !package_.strings[pkg::PackageString::WebsiteURL].empty();
    cfg_.tsGeneral.visible = !h.HideGeneralTab;
    cfg_.tsPosition.visible = !h.HidePositionTab;
    cfg_.tsEffects.visible = !h.HideEffectsTab;
    cfg_.tsSound.visible = !h.HideSoundTab;
    cfg_.tsBehavior.visible = !h.HideBehaviorTab;
}

void TSSWindow::RandomizeBackground() {
    show::RandomizeBackground(package_.header);
    Window().SetColor(package_.header.BackgroundColor);
    panelDisplay_->SetColor(package_.header.BackgroundColor);
}

void TSSWindow::LoadSoundTable(pkg::PackageReader& reader) {
    package_.sounds = reader.ReadSounds(package_.header);
    std::vector<std::string> own;
    if (settings_.UseCustomPlaylist) {
        own = pkg::LoadCustomPlayListNoWindow(pkg::PlaylistKey(package_.strings[pkg::PackageString::SaverName]));
        // The sound table follows the length of the user's list.
        package_.sounds.resize(own.size());
    }
    music_.PreparePlaylist(std::move(own));
}

void TSSWindow::LoadMelody(std::int32_t index) { music_.LoadMelody(index); }

void TSSWindow::SndPlayNotify(plat::MediaNotice notice) { music_.SndPlayNotify(notice); }

void TSSWindow::LoadEnterSound(std::int32_t index) { music_.LoadEnterSound(index); }

void TSSWindow::MPlayNotify(plat::MediaNotice notice) {
    if (video_) {
        video_->MPlayNotify(notice);
    }
}

void TSSWindow::LoadPreviewImage() {
    const auto file = pkg::ExtractPreviewImage(plat::OwnFileName());
    if (!file) {
        return;
    }
    const auto picture = plat::LoadSystemPicture(*file);
    plat::RemoveFile(*file);
    if (!picture) {
        return;
    }
    // The picture is stretched over the whole preview window and nothing else is drawn there.
    const gfx::IntSize client = Window().ClientSize();
    const gfx::IntRect whole = gfx::IntRect::FromSize(0, 0, client.width, client.height);
    if (!prImage_) {
        prImage_ = plat::Surface::Create(Window(), whole);
    }
    prImage_->SetBounds(whole);
    prImage_->Bitmap().SetSize(client.width, client.height);
    picture->DrawTo(prImage_->Bitmap(), whole);
    prImage_->SetVisible(true);
    prImage_->Changed();
    core::Trace("Preview picture " + std::to_string(picture->Width()) + "x" + std::to_string(picture->Height()));
}

}  // namespace host
