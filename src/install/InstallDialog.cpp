#include "install/InstallDialog.h"

namespace vt {

bool OpenInstallDialog(HWND owner, InstallMode mode) {
    // The dialog arrives with the installation manager.
    (void)owner;
    (void)mode;
    return false;
}

}  // namespace vt
