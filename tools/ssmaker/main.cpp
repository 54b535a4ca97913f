// ssmaker: the maker window. Pictures, videos and music in, a screen saver out; the project it
// saves is the manifest `sspack build` reads.
//
//   ssmaker.exe [PROJECT.json]

#include "platform/System.h"
#include "platform/Window.h"
#include "tools/ssmaker/BuildJob.h"
#include "tools/ssmaker/MakerForm.h"

int main() {
    plat::SetApplicationTitle("Screen Saver Maker");
    {
        maker::TMakerForm form;
        if (const auto args = plat::CommandLineArgs(); !args.empty()) {
            form.OpenProject(args.front());
        }
        form.ShowModal();
    }
    // A build cancelled as the window closed ends before the process does.
    maker::TBuildJob::WaitForAll();
    return 0;
}
