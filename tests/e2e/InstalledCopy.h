#pragma once
#include <string>

namespace vt::test {

// The program and its uninstaller copied into `folder`, with the empty manifest file an
// installation leaves beside them, and the settings of an installed copy that is not on its first
// run, logging into `folder`. Returns the program's path.
std::wstring PlaceInstalledCopy(const std::wstring& folder);

}  // namespace vt::test
