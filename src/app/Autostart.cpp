#include "app/Autostart.h"

#include <windows.h>

#include "app/StartUpDecision.h"
#include "win/RegKey.h"

namespace vt {

std::wstring AutostartCommand(const std::wstring& programFolder) {
    const std::wstring path = programFolder + L"\\DorviVaultick.Exe";
    return (path.find(L' ') == std::wstring::npos ? path : L"\"" + path + L"\"") + L" " + kAutostartArgument;
}

void UpdateAutostart(const std::wstring& programFolder, bool resident) {
    RegKey run = RegKey::Create(HKEY_CURRENT_USER, kRunKey);
    if (resident) run.WriteString(kAutostartValue, AutostartCommand(programFolder));
    else run.DeleteValue(kAutostartValue);
}

}  // namespace vt
