#pragma once
// The files a chosen folder adds to a file list: its ordinary files, by name, as full paths.
#include <string>
#include <vector>

namespace vt {

// Names of the folder's files: no sub-folders, no hidden or system files, sorted by name.
std::vector<std::wstring> OrdinaryFilesOf(const std::wstring& folder);
// The folder joined to each name by one "\" (a drive root already ends in one).
std::vector<std::wstring> JoinFolderEntries(const std::wstring& folder, const std::vector<std::wstring>& names);

}  // namespace vt
