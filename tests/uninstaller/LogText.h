#pragma once
// Uninstall logs as bytes on disk: the one the main program writes, and any crafted one.
#include <string>
#include <vector>

namespace vt::test {

// Lines in the ANSI code page, each ended by CR LF.
std::string LogBytes(const std::vector<std::wstring>& lines);
// The 19 lines the main program writes before it hands the removal over.
std::vector<std::wstring> MainProgramLog(const std::wstring& programFolder);
// The eleven files that log names, as the installation leaves them in the program folder.
std::vector<std::wstring> InstalledFileNames();

}  // namespace vt::test
