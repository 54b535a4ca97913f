#pragma once

#include <string>
#include <vector>

namespace pkg {

// The user's own music playlist: full file paths stored as "item0", "item1", ... under the
// settings key's "\PlayList" subkey. The list ends at the first missing index. Each operation
// creates the key when it is missing.

std::string PlaylistKey(const std::string& saverName);

// Writes the lines as item0.., then deletes the one value just past them.
void SaveCustomPlayList(const std::vector<std::string>& lines, const std::string& key);

// The lines for the playlist editor: empty values, and values of another type than a string, are
// skipped.
std::vector<std::string> LoadCustomPlayList(const std::string& key);

// The list for playback: an empty value stays an empty entry at its own position; a value of
// another type than a string throws plat::RegistryError to the caller.
std::vector<std::string> LoadCustomPlayListNoWindow(const std::string& key);

}  // namespace pkg
