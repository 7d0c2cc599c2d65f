#pragma once
// Names of the dated copies and which earlier copies a run removes.
#include <string>
#include <vector>

namespace vt {

// "C:\" gives "C"; "C:\Dati\Documenti\" gives "Documenti".
std::wstring SourceFolderName(const std::wstring& path);
// The destination + "\" (none after a drive root such as "D:\") + the dated folder name.
std::wstring LocalDatedDestination(const std::wstring& destination, const std::wstring& datedFolderName);

// A folder this program made for copyName: copyName (ASCII letters in any case), "_" and a
// 13-character stamp with its hyphen in place. Anything longer is someone else's folder.
bool IsDatedCopyOf(const std::wstring& folderName, const std::wstring& copyName);
// yymmddhhnnss of a dated copy's stamp.
std::wstring SortKey(const std::wstring& folderName, const std::wstring& copyName);
// The copies to remove so that `keep` earlier ones stay (keep 0: all of them), oldest first.
std::vector<std::wstring> CopiesToRemove(const std::vector<std::wstring>& folderNames, const std::wstring& copyName,
                                         unsigned keep);

}  // namespace vt
