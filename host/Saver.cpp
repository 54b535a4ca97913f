#include "host/Saver.h"

#include "common/Paths.h"
#include "common/Trace.h"
#include "host/ModeLetter.h"
#include "host/SSWindow.h"
#include "platform/MessageLoop.h"
#include "platform/System.h"
#include "platform/Window.h"

namespace host {

int RunSaver() {
    plat::SetApplicationTitle("Screen Saver");
    const bool presentation = core::UpperCase(core::ExtractFileExt(plat::OwnFileName())) == ".EXE";
    const std::string mode = presentation ? "S" : ModeLetter(plat::CommandLineArgs());
    core::Trace("Mode " + (presentation ? std::string("presentation") : mode.empty() ? std::string("(none)") : mode));

    TSSWindow window;
    if (mode == "P") {
        window.LoadPreviewImage();
    } else if (mode == "S") {
        window.ReadData(false);
    } else if (mode != "A") {
        window.ReadData(true);
    }
    // The slideshow, the panel and the preview window come with the main window's lifecycle;
    // until then a readable package simply ends the program.
    plat::PostQuit();
    const int code = plat::RunMessageLoop();
    core::Trace("Form Destroy");
    return code;
}

}  // namespace host
