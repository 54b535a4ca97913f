#include "platform/Media.h"

namespace plat {

const char* NoticeName(MediaNotice notice) {
    switch (notice) {
        case MediaNotice::Successful: return "successful";
        case MediaNotice::Superseded: return "superseded";
        case MediaNotice::Aborted: return "aborted";
        case MediaNotice::Failure: return "failure";
    }
    return "unknown";
}

}  // namespace plat
