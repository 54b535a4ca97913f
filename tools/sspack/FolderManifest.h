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

// Whether the runtime shows an item of that extension as a picture or a video.
bool IsSlide(const std::string& ext);

// The files of a folder that the runtime shows as pictures or videos, by their extension (hidden
// files aside), and the others, each in name order, letter case aside. Throws ManifestError, naming
// `what`, when it is not a folder.
struct FolderFiles {
    std::vector<std::string> slides;
    std::vector<std::string> others;
};
FolderFiles SlidesOfFolder(const std::string& folder, const std::string& what);

// Every picture and video of the folder (by its extension; hidden files aside) in name order,
// letter case aside, fitted to the screen, with a varied selection of effects and no captions; the music
// tracks in the order given, repeated. Throws ManifestError for a folder without any, a
// music file that cannot be read or a name the package cannot carry.
FolderManifestResult FolderManifest(const FolderSaver& folder);

}  // namespace sspack
