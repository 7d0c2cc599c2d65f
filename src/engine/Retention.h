#pragma once
// Removal of the earlier dated copies before a local copy.
#include <functional>
#include <string>
#include <vector>

#include "engine/RunContext.h"
#include "win/FileHelpers.h"

namespace vt {

// The listed dated copies of copyName to remove so that `keep` earlier ones stay (keep 0:
// none), oldest first. Hidden and system folders are never counted nor removed, and a protected
// copy never goes (see CopiesToRemove).
std::vector<FolderEntry> OldCopiesToRemove(const std::vector<FolderEntry>& listed, const std::wstring& copyName,
                                           unsigned keep, const std::vector<std::wstring>& protectedNames = {});
// The names of the dated copies in destination that are a job's last complete copy, as the five
// jobs recorded them: two jobs whose sources share a name share their copies too.
std::vector<std::wstring> ProtectedCopies(const std::wstring& destination);
// How a dated copy, or a folder inside one, is removed: a junction or symbolic link as the link
// alone (what it leads to was never part of the copy), anything else with all it holds.
enum class CopyRemoval { Link, Tree };
CopyRemoval RemovalOf(const FolderEntry& folder);
// Keeps the `keep` newest earlier copies of copyName in destination (keep 0: none), and every
// job's last complete copy. A copy that cannot be removed is logged and left; the run goes on.
// Returns the name of this job's last complete copy when only that rule kept it, else "".
std::wstring RemoveOldCopies(RunContext& run, const std::wstring& destination, unsigned keep,
                             const std::wstring& copyName);
// The local copy under the copy policy: the earlier copies it does not keep go first, then
// `copy` makes this run's copy, then the policy's closing line is logged. `copy` is given the
// newest earlier copy that stays when unchanged files are to be shared with it, else "". A copy
// is complete when its run was not stopped and logged no failure: it becomes the job's last
// complete copy, and the one before goes when only that rule had kept it.
void CopyUnderPolicy(RunContext& run, const std::wstring& destination, const std::wstring& copyName,
                     const std::function<void(const std::wstring& previousCopy)>& copy);
// Deletes a folder (path ending with "\") and everything in it, Esc asking to stop; a link
// inside is removed, never entered. False when stopped or when something stayed.
bool DeleteCopyTree(RunContext& run, const std::wstring& folder);

}  // namespace vt
