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
// A dated copy of any copy name: a name, "_" and the 13-character stamp.
bool IsDatedCopyName(const std::wstring& folderName);
// yymmddhhnnss of a dated copy's stamp.
std::wstring SortKey(const std::wstring& folderName, const std::wstring& copyName);
// The copies to remove so that `keep` earlier ones stay (keep 0: all of them), oldest first. A
// protected copy (a job's last complete copy) is never removed: it counts among the `keep` that
// stay and the oldest other one of them goes in its place; where none can, it stays besides.
std::vector<std::wstring> CopiesToRemove(const std::vector<std::wstring>& folderNames, const std::wstring& copyName,
                                         unsigned keep, const std::vector<std::wstring>& protectedNames = {});

}  // namespace vt
