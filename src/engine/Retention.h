#pragma once
// Removal of the earlier dated copies before a local copy.
#include <string>

#include "engine/RunContext.h"

namespace vt {

// Keeps the `keep` newest earlier copies of copyName in destination (keep 0: none). Hidden and
// system folders are never touched. Raises Failure when a copy cannot be removed.
void RemoveOldCopies(RunContext& run, const std::wstring& destination, unsigned keep, const std::wstring& copyName);
// Deletes a folder (path ending with "\") and everything in it, Esc asking to stop.
void DeleteCopyTree(RunContext& run, const std::wstring& folder);

}  // namespace vt
