#pragma once
// The FileList job: the listed files copied side by side into a new dated folder.
#include <string>
#include <vector>

#include "engine/RunContext.h"

namespace vt {

void RunFileListJob(RunContext& run, const std::wstring& dataFolder);
// With a previous copy, its unchanged files are linked instead of copied.
void CopyFileList(RunContext& run, const std::vector<std::wstring>& files, const std::wstring& previousCopy = L"");
// The file name of a list entry: what follows its last backslash or colon.
std::wstring EntryFileName(const std::wstring& entry);

}  // namespace vt
