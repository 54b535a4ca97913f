// The main window in configuration mode: the panel's real controls, its keys, its handlers, the
// effect preview, and the about and playlist windows.

#include <cctype>

#include "common/Flags.h"
#include "common/Trace.h"
#include "config/DialogForm.h"
#include "host/SSWindow.h"
#include "package/PlaylistStore.h"
#include "package/PreviewImage.h"
#include "platform/Files.h"
#include "platform/Pictures.h"
#include "platform/MessageLoop.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/WinConst.h"

namespace host {

namespace {

constexpr int kBannerStripHeight = 69;
constexpr int kLinkHeight = 15;

// An address that names its scheme ("https://", "ftp://", "mailto:") is opened as it stands.
bool HasScheme(const std::string& url) {
    std::string lower;
    for (const char c : url) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lower.rfind("mailto:", 0) == 0) {
        return true;
    }
    const std::size_t colon = lower.find("://");
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(lower[0]))) {
        return false;
    }
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = lower[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

}  // namespace

void TSSWindow::ScreenSaverConfigBoxActive() {
    if (!ReadData(true)) {
        return;
    }
    configShown_ = true;
    cfg_.PanelWebBanner.visible = true;
    cfg_.PanelPreviewTrans.visible = true;
    if (package_.header.BannerImageSize <= 0) {
        // Without the banner strip the controls take its place.
        cfg_.CfgBox.bounds.bottom -= kBannerStripHeight;
        cfg_.ConfigControlsPanel.bounds = cfg_.ConfigControlsPanel.bounds.Offset(0, -kBannerStripHeight);
    } else {
        cfg_.BannerPlaceHolderPanel.visible = true;
        cfg_.imgBanner.handPointer = !package_.strings[pkg::PackageString::BannerLink].empty();
    }
    cfg_.Link.visible = false;
    cfg_.CfgBox.bounds.bottom -= kLinkHeight;
    cfg_.ConfigControlsPanel.bounds.bottom -= kLinkHeight;
    FitPanelToDpi(plat::WindowDpi(Window().Handle()));
    cfg_.ConfigControlsPanel.visible = true;
    if (!cfg_.Pages()[static_cast<std::size_t>(cfg_.PageControl.itemIndex)]->visible) {
        cfg_.NextPage();
    }
    InstallDialogKeys();
}

void TSSWindow::FitPanelToDpi(int dpi) {
    const gfx::IntSize size = cfg_.CfgBox.bounds.Size();
    Window().SetClientSize({plat::ScaleToDpi(size.width, dpi), plat::ScaleToDpi(size.height, dpi)});
}

void TSSWindow::CreatePanelControls() {
    panelControls_ = plat::ControlSet::Create(Window(), cfg_.Controls(),
                                              [this](const plat::ControlEvent& event) { OnPanelEvent(event); });
    MakePreviewImage();
    MakeBannerImage();
}

// The banner picture, centred in its frame at the panel's scale; an empty frame when there is none
// or it cannot be read.
void TSSWindow::MakeBannerImage() {
    imgBanner_.reset();
    if (package_.header.BannerImageSize <= 0) {
        return;
    }
    const auto file = pkg::ExtractConfigBanner(plat::OwnFileName());
    const auto picture = file ? plat::LoadSystemPicture(*file) : std::nullopt;
    if (file) {
        plat::RemoveFile(*file);
    }
    if (!picture) {
        return;
    }
    const int dpi = panelControls_->Dpi();
    const gfx::IntSize area{plat::ScaleToDpi(cfg_.imgBanner.bounds.Width(), dpi),
                            plat::ScaleToDpi(cfg_.imgBanner.bounds.Height(), dpi)};
    const gfx::IntSize size{plat::ScaleToDpi(picture->Width(), dpi), plat::ScaleToDpi(picture->Height(), dpi)};
    imgBanner_ = plat::Surface::Create(panelControls_->Handle(cfg_.imgBanner.name),
                                       gfx::IntRect::FromSize(0, 0, area.width, area.height));
    imgBanner_->Bitmap().SetSize(area.width, area.height, gfx::Color32FromTColor(static_cast<gfx::TColor>(0xF0F0F0)));
    picture->DrawTo(imgBanner_->Bitmap(), gfx::IntRect::FromSize((area.width - size.width) / 2,
                                                                 (area.height - size.height) / 2, size.width, size.height));
    imgBanner_->Changed();
}

// The preview's image control, on the area the panel keeps for it, at the panel's scale.
void TSSWindow::MakePreviewImage() {
    const gfx::IntRect area = plat::ScaleToDpi(
        gfx::IntRect::FromSize(0, 0, cfg_.ImgPreviewTrans.bounds.Width(), cfg_.ImgPreviewTrans.bounds.Height()),
        panelControls_->Dpi());
    imgPreviewTrans_.reset();
    imgPreviewTrans_ = plat::Surface::Create(panelControls_->Handle(cfg_.ImgPreviewTrans.name), area);
    preview_.Prepare(*imgPreviewTrans_);
}

void TSSWindow::OnDpiChanged(int dpi) {
    presentation_.Rescale(dpi);
    if (!panelControls_) {
        return;
    }
    // The preview's surface is made anew at the new scale: a preview transition drawing into the
    // old one stops first, and plays again on the new one.
    const bool previewing = core::Flags().TransBusy || core::Flags().TransPending > 0;
    const int change = ++dpiChanges_;
    StopTransition(false);
    if (change != dpiChanges_) {
        return;  // another change came while the preview stopped, and has rescaled for itself
    }
    panelControls_->Rescale(dpi);
    FitPanelToDpi(dpi);
    MakePreviewImage();
    MakeBannerImage();
    if (previewing) {
        preview_.PreviewRequested = true;
    }
}

void TSSWindow::InstallDialogKeys() {
    // Esc presses "Close", the cancel button; Enter a button that has the focus, else "Close", the
    // default one; Ctrl+Tab turns the page. Not while one of our modal windows is up.
    plat::SetMessageHook([this](plat::Message& msg, bool& handled) {
        if (msg.message != plat::WM_KEYDOWN || !plat::IsWindowEnabledHandle(Window().Handle())) {
            return;
        }
        if (msg.wParam == plat::VK_TAB && plat::KeyIsDown(plat::VK_CONTROL)) {
            handled = true;
            OnPanelEvent({plat::ControlEvent::Kind::Select, cfg_.PageControl.name, -1});
        } else if (msg.wParam == plat::VK_ESCAPE) {
            handled = true;
            btnCloseClick();
        } else if (msg.wParam == plat::VK_RETURN) {
            handled = true;
            PressEnter();
        }
    });
}

void TSSWindow::PressEnter() {
    const std::string focused = panelControls_ ? panelControls_->Focused() : std::string();
    const config::Control* c = focused.empty() ? nullptr : cfg_.Find(focused);
    if (c != nullptr && c->kind == plat::ControlKind::Button && c->enabled) {
        OnPanelEvent({plat::ControlEvent::Kind::Click, c->name, 0});
    } else {
        btnCloseClick();
    }
}

void TSSWindow::OnPanelEvent(const plat::ControlEvent& event) {
    using Kind = plat::ControlEvent::Kind;
    try {
        if (event.kind == Kind::Select && event.name == cfg_.PageControl.name && event.value < 0) {
            cfg_.NextPage();
        } else if (!cfg_.OnEvent(event)) {
            if (event.kind == Kind::Select && event.name == cfg_.lbEffects.name) {
                lbEffectsClick();
            } else if (event.kind == Kind::Click) {
                const std::pair<const config::Control*, void (TSSWindow::*)()> handlers[] = {
                    {&cfg_.btnAbout, &TSSWindow::btnAboutClick},
                    {&cfg_.btnWebsite, &TSSWindow::btnWebsiteClick},
                    {&cfg_.btnClose, &TSSWindow::btnCloseClick},
                    {&cfg_.imgBanner, &TSSWindow::imgBannerClick},
                    {&cfg_.btnPlaylistEditor, &TSSWindow::btnPlaylistEditorClick},
                };
                for (const auto& [control, handler] : handlers) {
                    if (event.name == control->name && control->enabled && control->visible) {
                        (this->*handler)();
                    }
                }
            }
        }
    } catch (const std::exception& e) {
        config::ShowError(e);
    }
    if (panelControls_) {
        panelControls_->Sync();
    }
}

void TSSWindow::btnCloseClick() { Close(); }

void TSSWindow::btnAboutClick() {
    if (aboutWindow_) {
        aboutWindow_->ShowModal();
    }
}

void TSSWindow::btnWebsiteClick() {
    std::string& url = package_.strings[pkg::PackageString::WebsiteURL];
    if (!HasScheme(url)) {
        url = "http://" + url;
    }
    core::Trace("Open " + url);
    plat::ShellOpen(url, plat::SW_SHOWNORMAL);
}

void TSSWindow::imgBannerClick() {
    const std::string& link = package_.strings[pkg::PackageString::BannerLink];
    if (!link.empty()) {
        core::Trace("Open " + link);
        plat::ShellOpen(link, plat::SW_SHOWDEFAULT);
    }
}

void TSSWindow::btnPlaylistEditorClick() {
    if (!playlistWindow_) {
        return;
    }
    const std::string key = pkg::PlaylistKey(package_.strings[pkg::PackageString::SaverName]);
    // A stored line of another type is left out; the editor shows, and stores, what could be read.
    playlistWindow_->SetLines(pkg::LoadCustomPlayList(key));
    playlistWindow_->ShowModal();
    pkg::SaveCustomPlayList(playlistWindow_->Lines(), key);
}

void TSSWindow::lbEffectsClick() { preview_.lbEffectsClick(); }

void TSSWindow::CreateConfigWindows() {
    aboutWindow_ = std::make_unique<side::TAboutWindow>(package_.strings, Window().Handle());
    playlistWindow_ = std::make_unique<snd::TPlaylistWindow>(Window().Handle());
}

void TSSWindow::AdjustPlaylistGroup() {
    const auto& h = package_.header;
    if (!h.AllowCustomPlaylist) {
        cfg_.SetPlaylistGroupHeight(95);
        cfg_.rbPlayMyOwn.visible = cfg_.rbPlayBuiltIn.visible = cfg_.btnPlaylistEditor.visible = false;
    }
    if (h.SoundCount == 0) {
        cfg_.rbPlayMyOwn.checked = true;
        cfg_.rbPlayBuiltIn.checked = false;
        cfg_.rbPlayBuiltIn.enabled = false;
    }
    if (h.SoundCount == 1 && !h.AllowCustomPlaylist) {
        cfg_.cbShuffle.visible = cfg_.cbPlayOneRandom.visible = false;
        cfg_.SetPlaylistGroupHeight(111);
    }
}

}  // namespace host
