#pragma once

#include <optional>
#include <string>

namespace pkg {

// Takes the preview picture (a Windows bitmap stored as is) out of a built saver to
// TempFolder() + "SSIMG.BMP". Nothing when the file has no package or no preview picture, or the
// picture cannot be written; no message is shown. The caller deletes the file once it is shown.
std::optional<std::string> ExtractPreviewImage(const std::string& saverFile);

// The configuration panel's banner picture (a Windows bitmap stored as is), to
// TempFolder() + "SSBANNER.BMP", in the same way.
std::optional<std::string> ExtractConfigBanner(const std::string& saverFile);

}  // namespace pkg
