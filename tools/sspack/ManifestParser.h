#pragma once

#include <string>

#include "tools/sspack/JsonValues.h"
#include "tools/sspack/Manifest.h"

namespace sspack {

// Reads a manifest, checking every key and value and filling in every default; file names are
// taken relative to baseFolder and must name readable files. Throws ManifestError.
//
// {
//   "header":  {"Seconds": 8, "BackgroundColor": "#102030", "ExitMouseMove": false, ...},
//   "strings": {"SaverName": "...", "AboutText", "WebsiteURL", "HelpKeyLink", "ExitLink",
//               "BannerLink", "ExitBannerLink", "Effect": [1, 2, 10],
//               "TranslationText": "..." or "TranslationFile": "path",
//               "reserved": {"4": "...", ...}},          strings 4..10, 15, 16
//   "items":   [{"file", "compress", "ext", "duration", "sizeMode", "mask", "enterSound",
//                "filters", "effects": [..], "effectSpeed",
//                "caption": {"text", "position", "color", "offsetX", "offsetY", "boxColor",
//                            "font", "style", "size", "noBox", "splitLines", "shadow"}}],
//   "masks":   [{"file", "compress", "kind"}],
//   "entrySounds": [{"file", "compress", "ext"}],
//   "music":   [{"file", "compress", "ext"}],
//   "logo", "background", "exitBanner": {"file", "ext"},
//   "configBanner", "previewImage", "flashPlayer": {"file"},
//   "overrides": {...}                                    see Overrides.h
// }
Manifest ParseManifest(const Json& root, const std::string& baseFolder);

// Whether the files a manifest names must be there to read it.
enum class NamedFiles { MustBeReadable, MayBeMissing };

// The same, checking everything but, with MayBeMissing, that the files are there: a project whose
// pictures have moved still reads, to be mended. A translation file that is missing gives no text.
Manifest ParseManifest(const Json& root, const std::string& baseFolder, NamedFiles files);

// Reads the manifest file; its folder is the base of relative file names.
Manifest LoadManifest(const std::string& path);

}  // namespace sspack
