#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/ConfigPanel.h"
#include "host/Form.h"
#include "host/ScreenSaver.h"
#include "package/PackageFormat.h"
#include "package/PackageReader.h"
#include "package/Settings.h"
#include "platform/Media.h"
#include "platform/Panel.h"
#include "platform/Surface.h"
#include "platform/Timer.h"
#include "platform/Window.h"
#include "slideshow/FlashItem.h"
#include "slideshow/GifAnimator.h"
#include "slideshow/ItemLoader.h"
#include "slideshow/Overlays.h"
#include "slideshow/PresentationControls.h"
#include "slideshow/Sequencer.h"
#include "slideshow/VideoItem.h"
#include "sound/MusicPlayer.h"
#include "sound/PlaylistWindow.h"
#include "transitions/EffectPreview.h"
#include "windows/AboutWindow.h"

namespace host {

// The message of a package that cannot be read.
extern const char* const kCanNotRunMessage;

// The program's one main window: its creation runs the mode dispatch and reads the package, its
// input filter decides when the full-screen saver ends, and closing it undoes everything.
class TSSWindow : public TForm {
public:
    // Creates the window and runs FormCreate. Throws plat::FlashUnavailable when the package carries
    // the Flash player and the player control cannot be created.
    TSSWindow();
    ~TSSWindow() override;

    std::vector<config::Control*> Panels() override;

    // The main window's lifecycle.
    void FormCreate();
    void FormShow();
    void FormHide();
    void FormClose();
    void FormDestroy();
    // Closes the window the way the close box does: FormClose once, then the application ends.
    void Close();

    // The input filter: every queued message of the application passes here first.
    void DeactivateScrSaver(plat::Message& msg, bool& handled);
    void FinishScreenSaver(bool ending);
    void ApplicationEventsMinimize();
    void Suspend();
    void Resume();

    // Mode handlers of the screen-saver component.
    void ScreenSaverPreviewActive();
    void ScreenSaverMainSaverActive();
    void ScreenSaverConfigBoxActive();

    bool ReadData(bool configOnly);
    void LoadPreviewImage();

    // The slideshow: its start, the item timer's tick and the transition's completion handler.
    void StartSlideshow();
    void TimerTimer();
    void RestartTimer();
    void DisplayExitBanner();
    // F2: the picture on screen becomes the desktop wallpaper.
    void SetCurrentImageAsWallpaper();

    // Sound and video: the music player's and the video player's handlers.
    void LoadMelody(std::int32_t index);
    void SndPlayNotify(plat::MediaNotice notice);
    void LoadEnterSound(std::int32_t index);
    void MPlayNotify(plat::MediaNotice notice);

    // The configuration panel's handlers.
    void btnCloseClick();
    void btnAboutClick();
    void btnWebsiteClick();
    void imgBannerClick();
    void btnPlaylistEditorClick();
    void lbEffectsClick();
    // The two windows that configuration mode makes at start-up.
    void CreateConfigWindows();

    // What tests and traces look at.
    config::ConfigPanel& Panel() { return cfg_; }
    plat::ControlSet* PanelControls() { return panelControls_.get(); }
    trans::TEffectPreview& Preview() { return preview_; }
    plat::Surface* ImgPreviewTrans() { return imgPreviewTrans_.get(); }
    plat::Surface* ImgBanner() { return imgBanner_.get(); }
    side::TAboutWindow* AboutWindow() { return aboutWindow_.get(); }
    snd::TPlaylistWindow* PlaylistWindow() { return playlistWindow_.get(); }
    const pkg::Package& Package() const { return package_; }
    const pkg::SaverSettings& Settings() const { return settings_; }
    snd::TMusicPlayer& Music() { return music_; }
    show::TVideoItem* Video() { return video_.get(); }
    show::TFlashItem* Flash() { return flash_.get(); }
    plat::Panel& PanelDisplay() { return *panelDisplay_; }
    plat::Timer& Timer() { return timer_; }
    TScreenSaver* ScreenSaver() { return screenSaver_.get(); }
    bool SecondMonitorInUse() const { return !monitors_.empty(); }
    plat::Surface& Image32() { return *image32_; }
    plat::Surface* PrImage() { return prImage_.get(); }
    plat::Surface* SecondImage() { return monitors_.empty() ? nullptr : monitors_.front().image.get(); }
    // The image controls of the monitors besides the main one, in the system's order.
    std::vector<plat::Surface*> MonitorImages() const;
    show::TSequencer& Sequencer() { return sequencer_; }
    show::TItemLoader* Loader() { return loader_.get(); }
    const show::TItemPreparer& Preparer() const { return preparer_; }
    show::TGifAnimator& Gif() { return gif_; }
    show::TPresentationControls& Presentation() { return presentation_; }
    const std::string& ExitLink() const { return package_.strings[pkg::PackageString::ExitLink]; }

protected:
    void OnCloseRequest() override { Close(); }
    void OnShow() override { FormShow(); }
    void OnHide() override { FormHide(); }
    void OnDpiChanged(int dpi) override;
    void OnDisplayChange() override;

private:
    void ReadPackageSteps(bool configOnly);
    void ApplyHeaderToPanel();
    void RandomizeBackground();
    void LoadSoundTable(pkg::PackageReader& reader);
    void OpenMonitors();
    void OpenMonitor(std::size_t other);
    void CloseMonitor(std::size_t other);
    void CreateImage32();
    void CreateFlash();
    void CreateLoader();
    void NextItemNow();
    void StopTransition(bool shutdown);
    // An ending that waited for a transition to stop: true when the saver ended.
    bool FinishAfterTransition();
    bool AwaitPreparedItem();
    void WritePanelSettings();
    void RepaintImages();
    void StopPlayers();
    std::uint32_t ItemInterval() const;
    bool LoneFlashItem() const;
    bool VideoPlaying() const;
    void AdjustPlaylistGroup();
    void InstallDialogKeys();
    void CreatePanelControls();
    void FitPanelToDpi(int dpi);
    void MakePreviewImage();
    void MakeBannerImage();
    void OnPanelEvent(const plat::ControlEvent& event);
    void PressEnter();

    std::unique_ptr<TScreenSaver> screenSaver_;
    config::ConfigPanel cfg_;
    std::unique_ptr<plat::ControlSet> panelControls_;  // the panel's real controls, configuration mode only
    std::unique_ptr<plat::Surface> imgPreviewTrans_;
    std::unique_ptr<plat::Surface> imgBanner_;
    trans::TEffectPreview preview_;
    std::unique_ptr<side::TAboutWindow> aboutWindow_;
    std::unique_ptr<snd::TPlaylistWindow> playlistWindow_;
    bool configShown_ = false;
    std::unique_ptr<plat::Surface> image32_;  // the full-window slideshow surface
    std::unique_ptr<plat::Surface> prImage_;  // the preview's picture
    std::unique_ptr<plat::Panel> panelDisplay_;  // where a movie shows
    plat::Timer timer_;
    pkg::Package package_;
    pkg::SaverSettings settings_;
    snd::TMusicPlayer music_;
    gfx::IntPoint panelShownAt_;
    // A borderless window over a monitor besides the main one, and the image control that fills it.
    struct TMonitorScreen {
        gfx::IntRect rect;
        std::unique_ptr<plat::Window> window;
        std::unique_ptr<plat::Surface> image;
    };
    std::vector<gfx::IntRect> otherMonitors_;  // the monitors besides the main one the saver shows on
    std::vector<TMonitorScreen> monitors_;
    std::unique_ptr<show::TFlashItem> flash_;
    show::TOverlays overlays_;
    show::TGifAnimator gif_;
    show::TSequencer sequencer_;
    show::TPresentationControls presentation_;
    std::unique_ptr<show::TVideoItem> video_;
    show::TItemPreparer preparer_;  // before the loader, which uses it
    std::unique_ptr<show::TItemLoader> loader_;
    bool closed_ = false;
    bool monitorsOpen_ = false;  // the slideshow shows on the other monitors, and takes up new ones
    bool tickWaiting_ = false;
    int dpiChanges_ = 0;  // an item tick came while a transition was still ending
    bool exitBannerShown_ = false;
    bool wallpaperKeyDown_ = false;  // F2 went down as the wallpaper key and has not come up yet
};

}  // namespace host
