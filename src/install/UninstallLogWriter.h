#pragma once
// The uninstall log "UnLogF.Dat" that the main program leaves for the uninstaller.
#include <string>
#include <vector>

namespace vt {

// The files the uninstaller removes from the program folder, in order.
const std::vector<std::wstring>& InstalledFileNames();
// The 19 lines: base folder, the files (failures ignored), then the empty-folder question.
std::vector<std::wstring> UninstallLogLines(const std::wstring& programFolder);
// Writes uninstallerFolder + "\UnLogF.Dat" in the ANSI code page with CR LF as a new file: a file
// of that name already there makes it fail and stays as it is. A program folder the code page
// cannot spell is written by its short name; when that cannot be spelled either, or the writing
// fails, no log of ours is left and the result is false.
bool WriteUninstallLog(const std::wstring& uninstallerFolder, const std::wstring& programFolder);

}  // namespace vt
