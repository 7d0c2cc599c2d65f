#pragma once
// Removal of the earlier dated copies before a local copy.
#include <functional>
#include <string>

#include "engine/RunContext.h"

namespace vt {

// Keeps the `keep` newest earlier copies of copyName in destination (keep 0: none). Hidden and
// system folders are never touched. Raises Failure when a copy cannot be removed.
void RemoveOldCopies(RunContext& run, const std::wstring& destination, unsigned keep, const std::wstring& copyName);
// The local copy under the copy policy: the earlier copies it does not keep go first, then
// `copy` makes this run's copy, then the policy's closing line is logged.
void CopyUnderPolicy(RunContext& run, const std::wstring& destination, const std::wstring& copyName,
                     const std::function<void()>& copy);
// Deletes a folder (path ending with "\") and everything in it, Esc asking to stop.
void DeleteCopyTree(RunContext& run, const std::wstring& folder);

}  // namespace vt
