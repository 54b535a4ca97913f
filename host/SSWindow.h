#pragma once

#include <string>

#include "package/PackageFormat.h"

namespace host {

// The message of a package that cannot be read.
extern const char* const kCanNotRunMessage;

// The program's one main window.
class TSSWindow {
public:
    // Reads the package appended to the program's own file: the header, the strings and, unless
    // configOnly, the item, mask, entry-sound and sound tables. On any failure it shows the
    // "can not run" message, tells the application to terminate and returns false.
    bool ReadData(bool configOnly);

    // Preview mode: takes the preview picture out of the package; "" when there is none.
    std::string LoadPreviewImage();

    const pkg::Package& Package() const { return package_; }

private:
    void ReadPackageSteps(bool configOnly);

    pkg::Package package_;
};

}  // namespace host
