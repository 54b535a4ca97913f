#include "config/DialogForm.h"

#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/WinConst.h"

namespace config {

TDialogForm::TDialogForm(const std::string& caption, gfx::IntSize clientSize, plat::WindowHandle owner,
                         plat::BorderStyle border)
    : owner_(owner), clientSize_(clientSize) {
    plat::Window::Options options;
    options.caption = caption;
    options.bounds = gfx::IntRect::FromSize(0, 0, clientSize.width, clientSize.height);
    options.border = border;
    options.color = kButtonFace;
    options.owner = owner;
    plat::WindowEvents events;
    events.onCloseRequest = [this] {
        if (CanClose()) {
            Close();
        }
    };
    events.onDpiChanged = [this](int dpi) {
        if (controls_) {
            controls_->Rescale(dpi);
        }
        FitToDpi(dpi);
        OnDpiChanged(dpi);
    };
    window_ = plat::Window::Create(options, std::move(events));
    FitToDpi(plat::WindowDpi(window_->Handle()));
}

TDialogForm::~TDialogForm() = default;

void TDialogForm::FitToDpi(int dpi) {
    window_->SetClientSize({plat::ScaleToDpi(clientSize_.width, dpi), plat::ScaleToDpi(clientSize_.height, dpi)});
}

void TDialogForm::Resize(gfx::IntSize clientSize) {
    clientSize_ = clientSize;
    FitToDpi(plat::WindowDpi(window_->Handle()));
}

void TDialogForm::MakeControls(std::vector<plat::Control*> controls) {
    controls_ = plat::ControlSet::Create(*window_, std::move(controls),
                                         [this](const plat::ControlEvent& event) { Dispatch(event); });
}

void TDialogForm::Dispatch(const plat::ControlEvent& event) {
    try {
        OnEvent(event);
    } catch (const std::exception& e) {
        ShowError(e);
    }
    Sync();
}

void TDialogForm::Sync() {
    if (controls_) {
        controls_->Sync();
    }
}

void TDialogForm::ShowModal() {
    OnShow();
    Sync();
    window_->CenterOnScreen();
    if (owner_ != 0) {
        plat::EnableWindowHandle(owner_, false);
    }
    showing_ = true;
    window_->Show();
    plat::RunModalLoop([this] { return !showing_; });
    showing_ = false;
    if (owner_ != 0) {
        plat::EnableWindowHandle(owner_, true);
        plat::SetForegroundWindowHandle(owner_);
    }
    window_->Hide();
}

void TDialogForm::Close() {
    // ShowModal hides the window once the owner can take the focus back.
    showing_ = false;
}

void ShowError(const std::exception& error) {
    plat::ShowMessageBox(error.what(), plat::ApplicationTitle(), plat::MB_ICONERROR);
}

}  // namespace config
