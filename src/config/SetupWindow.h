#pragma once
#include <windows.h>

namespace vt {

// Opens the job set-up window modally on the given page (0..4); it saves when it closes.
void OpenSetupWindow(HWND owner, int page);

}  // namespace vt
