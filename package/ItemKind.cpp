#include "package/ItemKind.h"

#include "common/Paths.h"

namespace pkg {

ItemKind ItemKindOf(const std::string& ext) {
    const std::string e = core::UpperCase(ext);
    if (e == ".SWF" || e == ".FLA") {
        return ItemKind::Flash;
    }
    if (e == ".ASF" || e == ".WMV" || e == ".AVI" || e == ".MPEG" || e == ".MPG" || e == ".MP4" ||
        e == ".M4V" || e == ".MOV") {
        return ItemKind::Video;
    }
    return ItemKind::Still;
}

}  // namespace pkg
