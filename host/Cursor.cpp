#include "host/Cursor.h"

#include "platform/Window.h"

namespace host {

namespace {
bool g_visible = false;
}

void SetCursorVisible(bool visible) {
    if (visible != g_visible) {
        g_visible = visible;
        plat::ShowCursor(visible);
    }
}

void ResetCursorState() { g_visible = false; }

}  // namespace host
