#include "about/IsXPOrLater.h"

namespace vt {

bool IsXPOrLater(const WindowsName& name) { return name.index > 9; }

bool IsXPOrLater() { return IsXPOrLater(WindowsVersionName()); }

}  // namespace vt
