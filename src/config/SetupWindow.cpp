#include "config/SetupWindow.h"

namespace vt {

void OpenSetupWindow(HWND owner, int page) {
    // The set-up window arrives with the configuration windows.
    (void)owner;
    (void)page;
}

}  // namespace vt
