#pragma once
// The main program's test before it writes its manifest.
#include "about/WindowsVersion.h"

namespace vt {

// True on Windows XP and every later version, and on versions the classification does not know.
bool IsXPOrLater(const WindowsName& name);
bool IsXPOrLater();

}  // namespace vt
