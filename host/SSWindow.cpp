#include "host/SSWindow.h"

#include "common/Trace.h"
#include "host/Cursor.h"
#include "package/PackageReader.h"
#include "package/PreviewImage.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/System.h"
#include "platform/WinConst.h"
#include "platform/Window.h"

namespace host {

const char* const kCanNotRunMessage =
    "The screen saver can not run because of one of the following reasons:\r\n"
    "\r\n"
    "* The file is corrupted\r\n"
    "* Your computer is out of resources\r\n"
    "* Windows error";

void TSSWindow::ReadPackageSteps(bool configOnly) {
    pkg::PackageReader reader(plat::OwnFileName());
    package_.header = reader.ReadHeader();
    package_.strings = reader.ReadStrings(package_.header);
    plat::SetApplicationTitle(package_.strings[pkg::PackageString::SaverName]);
    if (configOnly) {
        return;
    }
    package_.items = reader.ReadItems(package_.header);
    package_.masks = reader.ReadMasks(package_.header);
    package_.entrySounds = reader.ReadEntrySounds(package_.header);
    package_.sounds = reader.ReadSounds(package_.header);
}

bool TSSWindow::ReadData(bool configOnly) {
    try {
        ReadPackageSteps(configOnly);
        core::Trace("Package read");
        return true;
    } catch (const std::exception& e) {
        core::Trace(std::string("Package not readable: ") + e.what());
    }
    SetCursorVisible(true);
    core::Trace("Message box: can not run");
    plat::ShowMessageBox(kCanNotRunMessage, plat::ApplicationTitle(), plat::MB_ICONERROR);
    plat::PostQuit();
    return false;
}

std::string TSSWindow::LoadPreviewImage() { return pkg::ExtractPreviewImage(plat::OwnFileName()).value_or(""); }

}  // namespace host
