#include "LogText.h"

#include "win/Text.h"

namespace vt::test {

std::string LogBytes(const std::vector<std::wstring>& lines) {
    std::string bytes;
    for (const std::wstring& line : lines) bytes += vt::ToAnsi(line) + "\r\n";
    return bytes;
}

std::vector<std::wstring> InstalledFileNames() {
    return {L"DorviVaultick.exe", L"Sweepex.exe",       L"Rimuovi Vaultick.lnk", L"BkpFile1.Dat",
            L"BkpFile2.Dat",      L"BkpFile3.Dat",      L"BkpFile4.Dat",         L"BkpFile5.Dat",
            L"DorviVaultick.hlp", L"DorviVaultick.gid", L"DorviVaultick.exe.manifest"};
}

std::vector<std::wstring> MainProgramLog(const std::wstring& programFolder) {
    std::vector<std::wstring> lines = {L"[DirCorrente]", programFolder, L"-", L"[File2]"};
    for (const std::wstring& name : InstalledFileNames()) lines.push_back(name);
    lines.insert(lines.end(), {L"-", L"[RimuoviDirMsg]", programFolder, L"-"});
    return lines;
}

}  // namespace vt::test
