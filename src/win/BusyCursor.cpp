#include "win/BusyCursor.h"

#include <windows.h>

namespace vt {

namespace {
bool g_busy = false;
}  // namespace

void SetBusyCursor(bool busy) {
    g_busy = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool BusyCursorOn() { return g_busy; }

}  // namespace vt
