#include "install/UninstallLogWriter.h"

#include <windows.h>

#include <optional>

#include "win/FileHelpers.h"
#include "win/Text.h"

namespace vt {

namespace {

// The folder as the log can name it in the ANSI code page: itself, or else its short name.
// Best-fit would turn "Łódź" into "Lodz", and the uninstaller would then empty another folder.
std::optional<std::wstring> AnsiSafeFolder(const std::wstring& folder) {
    if (FitsAnsi(folder)) return folder;
    const DWORD size = GetShortPathNameW(folder.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(folder.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size) return std::nullopt;
    shortPath.resize(length);
    if (shortPath.empty() || !FitsAnsi(shortPath)) return std::nullopt;
    return shortPath;
}

}  // namespace

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

bool WriteUninstallLog(const std::wstring& uninstallerFolder, const std::wstring& programFolder) {
    const std::optional<std::wstring> folder = AnsiSafeFolder(programFolder);
    if (!folder) return false;
    std::string bytes;
    for (const std::wstring& line : UninstallLogLines(*folder)) bytes += ToAnsi(line) + "\r\n";
    // Only a log this removal made itself: a file of that name already there belongs to somebody
    // else and is never written into nor taken for ours.
    return WriteNewFile(uninstallerFolder + L"\\UnLogF.Dat", bytes);
}

}  // namespace vt
