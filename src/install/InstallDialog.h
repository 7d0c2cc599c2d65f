#pragma once
#include <windows.h>

namespace vt {

enum class InstallMode { Install, Change, Uninstall };

// Opens the installation dialog modally; true when the removal has started (the program
// must then end so that the uninstaller finds its files free).
bool OpenInstallDialog(HWND owner, InstallMode mode);

}  // namespace vt
