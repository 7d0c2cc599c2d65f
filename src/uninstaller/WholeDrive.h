#pragma once
// The guard in front of a tree deletion: a log line that is empty, "\" or "C:" names a whole
// drive, and deleting "everything below" it must never start.
#include <string>

namespace vt::sweepex {

// True when the folder, made absolute against the current folder, is the root of a drive or
// of a network share, or cannot be made absolute at all.
bool NamesWholeDrive(const std::wstring& folder);

}  // namespace vt::sweepex
