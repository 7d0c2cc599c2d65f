#pragma once
// The Folder job: a source tree copied into a new dated folder.
#include <string>

#include "engine/RunContext.h"

namespace vt {

void RunFolderJob(RunContext& run);
// Copies one level (folder ends with "\"): its files first, then each sub-folder.
void CopyFolderTree(RunContext& run, const std::wstring& folder);
// The part of a visited folder below the source root, beginning with "\" ("/" for FTP).
std::wstring RelativeFolder(const std::wstring& sourceRoot, const std::wstring& folder, bool forFtp);

// Source root of a source path: "C:\" becomes "C:".
std::wstring SourceRoot(const std::wstring& source);

}  // namespace vt
