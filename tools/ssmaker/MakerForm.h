#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/DialogForm.h"
#include "platform/Surface.h"
#include "tools/ssmaker/BuildJob.h"
#include "tools/ssmaker/FilesJob.h"
#include "tools/ssmaker/MakerControls.h"
#include "tools/ssmaker/Project.h"
#include "transitions/EffectPreview.h"

namespace maker {

// The maker's window: a view over one project. Each handler changes the project and shows it again;
// Build writes the screen saver on a thread of its own.
class TMakerForm : public config::TDialogForm {
public:
    TMakerForm();
    ~TMakerForm() override;

    // Opens a project; false (after saying why) when it cannot be read.
    bool OpenProject(const std::string& path);

    TMakerControls& Ui() { return ui_; }
    TProject& Project() { return project_; }
    const std::string& BuiltSaver() const { return built_; }
    bool Building() const { return job_.Running(); }
    // A build runs, or files are being taken in.
    bool Busy() const { return job_.Running() || adding_.Running(); }
    plat::Surface* ImgPreviewTrans() { return imgPreviewTrans_.get(); }

    // Handlers, by the control that raises them.
    void btnAddPicturesClick();
    void btnAddFolderClick();
    void lvItemsDrop(const std::vector<std::string>& files);
    void lvItemsSelect(int line);
    void btnRemoveClick();
    void btnMoveUpClick();
    void btnMoveDownClick();
    void edCaptionEdited(const std::string& text);
    void edItemSecondsChange(int seconds);
    void cbItemSizeSelect(int line);
    void cbItemSoundSelect(int line);
    void btnAddMusicClick();
    void btnRemoveMusicClick();
    void btnMusicMove(int step);
    void btnAddSoundClick();
    void btnRemoveSoundClick();
    void edNameEdited(const std::string& text);
    void edSecondsChange(int seconds);
    void btnColorClick(const char* key);
    void btnLogoClick();
    void btnNoLogoClick();
    void lbEffectsSelect(int line);
    void lbEffectsToggle(int line);
    void btnSelectAllClick();
    void btnSelectNoneClick();
    void tbEffectSpeedChange(int speed);
    void cbExitClick(Control& box);
    void btnOpenClick();
    // False when the project was not saved (the user cancelled, or the file could not be written).
    bool btnSaveClick();
    void btnBuildClick();
    void btnCancelClick();
    void btnTryClick();
    void btnSettingsClick();
    void btnInstallClick();

protected:
    void OnEvent(const plat::ControlEvent& event) override;
    void OnShow() override;
    bool CanClose() override;
    void OnDpiChanged(int dpi) override;

private:
    // Adds pictures and videos, refusing each the screen saver could not show with its reason.
    void AddItems(const std::vector<std::string>& files);
    // Files checked (when adding) and their thumbnails made, on a job; the items come when it ends.
    void TakeIn(const std::vector<std::string>& files, bool adding);
    void Added(const std::vector<std::string>& files, const FilesOutcome& outcome);
    void ShowBusy();
    // Music tracks or entry sounds, refusing each the screen saver could not play with its reason.
    void AddSounds(const char* table, Control& list, const char* title);
    void RemoveSound(const char* table, Control& list);
    void Show();
    void ShowItems();
    void ShowItem();
    void ShowSounds();
    void ShowLook();
    void ShowPreviewPictures();
    void MakePreviewImage();
    bool OnClick(const std::string& name);
    bool OnFlag(const std::string& name);
    bool OnChoice(const std::string& name, int line);
    int SelectedItem() const;
    std::string DefaultOutput() const;
    void BuildDone(const BuildOutcome& outcome);
    void SetStatus(const std::string& text);

    TMakerControls ui_;
    TProject project_;
    std::map<std::string, std::shared_ptr<const gfx::TBitmap32>> thumbnails_;  // by full path
    std::vector<std::string> previewFiles_;  // the two pictures the preview now plays between
    trans::TEffectPreview preview_;
    std::unique_ptr<plat::Surface> imgPreviewTrans_;
    TBuildJob job_;
    TJob<FilesOutcome> adding_;
    std::string output_;  // where Build writes; asked the first time
    std::string built_;   // the last saver built
};

}  // namespace maker
