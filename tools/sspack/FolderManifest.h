#pragma once

#include <string>
#include <vector>

#include "tools/sspack/Manifest.h"

namespace sspack {

// A saver made without a manifest: the pictures of one folder and perhaps some music.
struct FolderSaver {
    std::string pictures;  // the folder
    std::vector<std::string> music;
    std::string name;
};

struct FolderManifestResult {
    Manifest manifest;
    std::vector<std::string> leftOut;  // "folder/notes.txt: not a picture format ...", one a file
};

// Every picture and video of the folder (by its extension; hidden files aside) in name order,
// letter case aside, fitted to the screen, with a varied selection of effects and no captions; the music
// tracks in the order given, repeated. Throws ManifestError for a folder without any, a
// music file that cannot be read or a name the package cannot carry.
FolderManifestResult FolderManifest(const FolderSaver& folder);

}  // namespace sspack
