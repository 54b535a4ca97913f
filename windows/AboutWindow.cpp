#include "windows/AboutWindow.h"

#include "config/Translation.h"
#include "platform/Shell.h"
#include "platform/WinConst.h"

namespace side {

namespace {

using plat::ControlKind;

void Place(plat::Control& c, ControlKind kind, int x, int y, int width, int height) {
    c.kind = kind;
    c.bounds = gfx::IntRect::FromSize(x, y, width, height);
}

}  // namespace

TAboutWindow::TAboutWindow(const pkg::PackageStrings& strings, plat::WindowHandle owner)
    : TDialogForm(config::Translate("About"), {354, 211}, owner), strings_(strings) {
    Place(imgIcon, ControlKind::Icon, 12, 12, 32, 32);
    Place(Title, ControlKind::Label, 56, 12, 286, 16);
    Title.bold = true;
    Place(Text, ControlKind::Text, 56, 36, 281, 85);
    Place(Link, ControlKind::Link, 56, 130, 193, 13);
    Place(Bevel1, ControlKind::Bevel, 8, 160, 338, 2);
    Place(btnClose, ControlKind::Button, 271, 176, 75, 25);
    btnClose.caption = config::Translate("Close");
    btnClose.isDefault = btnClose.isCancel = true;
    MakeControls({&imgIcon, &Title, &Text, &Link, &Bevel1, &btnClose});
}

void TAboutWindow::OnShow() {
    const std::string& name = strings_[pkg::PackageString::SaverName];
    const std::string& text = strings_[pkg::PackageString::AboutText];
    const std::string& site = strings_[pkg::PackageString::WebsiteURL];
    if (!name.empty()) {
        Title.caption = name;
    }
    if (!text.empty()) {
        Text.caption = text;
    }
    Link.caption = site;
    Link.visible = !site.empty();
}

void TAboutWindow::LinkClick() {
    // The address as it stands: unlike the panel's Website button, no scheme is added.
    plat::ShellOpen(strings_[pkg::PackageString::WebsiteURL], plat::SW_SHOWNORMAL);
}

void TAboutWindow::OnEvent(const plat::ControlEvent& event) {
    if (event.kind != plat::ControlEvent::Kind::Click) {
        return;
    }
    if (event.name == btnClose.name) {
        btnCloseClick();
    } else if (event.name == Link.name) {
        LinkClick();
    }
}

}  // namespace side
