#include "install/UninstallLogWriter.h"

#include <windows.h>

#include "win/FileHelpers.h"
#include "win/Text.h"

namespace vt {

const std::vector<std::wstring>& InstalledFileNames() {
    static const std::vector<std::wstring> names = {
        L"DorviVaultick.exe", L"Sweepex.exe",  L"Rimuovi Vaultick.lnk", L"BkpFile1.Dat",
        L"BkpFile2.Dat",      L"BkpFile3.Dat", L"BkpFile4.Dat",         L"BkpFile5.Dat",
        L"DorviVaultick.hlp", L"DorviVaultick.gid", L"DorviVaultick.exe.manifest"};
    return names;
}

std::vector<std::wstring> UninstallLogLines(const std::wstring& programFolder) {
    std::vector<std::wstring> lines = {L"[DirCorrente]", programFolder, L"-", L"[File2]"};
    lines.insert(lines.end(), InstalledFileNames().begin(), InstalledFileNames().end());
    lines.insert(lines.end(), {L"-", L"[RimuoviDirMsg]", programFolder, L"-"});
    return lines;
}

bool WriteUninstallLog(const std::wstring& temporaryFolder, const std::wstring& programFolder) {
    std::string bytes;
    for (const std::wstring& line : UninstallLogLines(programFolder)) bytes += ToAnsi(line) + "\r\n";
    return WriteWholeFile(temporaryFolder + L"\\UnLogF.Dat", bytes);
}

}  // namespace vt
