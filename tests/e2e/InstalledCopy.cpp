#include "InstalledCopy.h"

#include <windows.h>

#include "RunningProgram.h"
#include "settings/SettingsStore.h"
#include "support/TempFolder.h"

namespace vt::test {

std::wstring PlaceInstalledCopy(const std::wstring& folder) {
    SettingsStore store;
    store.WriteBool(L"Principale", L"ShowInst", false);
    store.WriteString(L"Principale", L"Versione", L"3.7");
    store.WriteBool(L"FileLog", L"CBAttiva", true);
    store.WriteString(L"FileLog", L"CartDest", folder);
    const std::wstring exe = folder + L"\\DorviVaultick.exe";
    CopyFileW((BinFolder() + L"\\DorviVaultick.exe").c_str(), exe.c_str(), FALSE);
    CopyFileW((BinFolder() + L"\\Sweepex.exe").c_str(), (folder + L"\\Sweepex.exe").c_str(), FALSE);
    WriteBytes(exe + L".manifest", std::string());
    return exe;
}

}  // namespace vt::test
