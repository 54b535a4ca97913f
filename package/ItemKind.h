#pragma once

#include <string>

namespace pkg {

// What an item is, by its extension (compared without regard to case): a Flash movie (".SWF",
// ".FLA"), a video (".ASF", ".WMV", ".AVI", ".MPEG", ".MPG", ".MP4", ".M4V", ".MOV") or, for any
// other, a still image.
enum class ItemKind { Still, Flash, Video };

ItemKind ItemKindOf(const std::string& ext);

}  // namespace pkg
