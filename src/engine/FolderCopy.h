#pragma once
// The Folder job: a source tree copied into a new dated folder.
#include <string>

#include "engine/RunContext.h"

namespace vt {

void RunFolderJob(RunContext& run);
// The source root must be a folder that can be read; otherwise the job ends with one line,
// before anything is removed or copied.
bool CheckSourceRoot(RunContext& run);
// A source root that holds nothing at all, for a job with earlier copies in destination, is a
// drive that came up empty, a folder not yet synchronised or moved away: the job ends with one
// line, before the policy could remove the copies that still hold the data.
bool CheckSourceNotEmptied(RunContext& run, const std::wstring& destination, const std::wstring& copyName);
// Copies the source tree into the dated destination, depth first: each folder's files, then
// its sub-folders. The dated copies in the destination are never copied into the new one.
// With a previous copy, its unchanged files are linked instead of copied.
void CopyFolderTree(RunContext& run, const std::wstring& destination, const std::wstring& copyName,
                    const std::wstring& previousCopy = L"");
// The part of a visited folder below the source root, beginning with "\" ("/" for FTP).
std::wstring RelativeFolder(const std::wstring& sourceRoot, const std::wstring& folder, bool forFtp);

// Source root of a source path: "C:\" becomes "C:".
std::wstring SourceRoot(const std::wstring& source);

}  // namespace vt
