#pragma once
// File helpers shared by the engine and the installation manager.
#include <string>

namespace vt {

// Deletes a folder with everything in it, read-only, hidden and system files included;
// sub-folders whose name begins with "." are left alone. True when the folder is missing or
// everything was removed.
bool DeleteTree(const std::wstring& folder);

}  // namespace vt
