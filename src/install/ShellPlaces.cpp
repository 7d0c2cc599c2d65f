#include "install/ShellPlaces.h"

#include <windows.h>
#include <shlobj.h>

#include "settings/SettingsSchema.h"
#include "win/Paths.h"
#include "win/RegKey.h"

namespace vt {

namespace {

constexpr wchar_t kMapGroups[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups";
constexpr wchar_t kQuickLaunchRel[] = L"Microsoft\\Internet Explorer\\Quick Launch";

std::wstring WindowsFolder() {
    wchar_t path[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(path, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(path, n) : std::wstring();
}

}  // namespace

std::wstring UserProfileFolder() { return ShellFolder(CSIDL_PROFILE); }

std::wstring CurrentLogonName() {
    wchar_t name[256 + 1] = {};
    DWORD size = 256 + 1;
    if (!GetUserNameW(name, &size) || !name[0]) return L"sconosciuto";
    return name;
}

std::wstring QuickLaunchFolder() {
    // The application-data folder of the user is where the shell keeps it on every version;
    // the fixed names below only cover XP profiles the lookup cannot answer for.
    const std::wstring appData = ShellFolder(CSIDL_APPDATA);
    if (!appData.empty() && FolderExists(IncludeTrailingBackslash(appData) + kQuickLaunchRel))
        return IncludeTrailingBackslash(appData) + kQuickLaunchRel;
    const std::wstring profile = IncludeTrailingBackslash(UserProfileFolder());
    for (const wchar_t* data : {L"Application Data\\", L"Dati Applicazioni\\"}) {
        const std::wstring candidate = profile + data + kQuickLaunchRel;
        if (FolderExists(candidate)) return candidate;
    }
    if (RegKey key = RegKey::Open(HKEY_CURRENT_USER, kMapGroups); key.IsOpen())
        return key.ReadString(kQuickLaunchValue).value_or(L"");
    if (RegKey key = RegKey::Open(HKEY_USERS, std::wstring(L".Default\\") + kMapGroups); key.IsOpen())
        return key.ReadString(kQuickLaunchValue).value_or(L"");
    return WindowsFolder() + L"\\Application Data\\" + kQuickLaunchRel;
}

ShellPlaces SystemShellPlaces() {
    ShellPlaces places;
    places.userPrograms = ShellFolder(CSIDL_PROGRAMS);
    places.userDesktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    places.quickLaunch = QuickLaunchFolder();
    // The same folder XP built from "All Users" + the "Common Programs" value, without
    // assuming the "Documents and Settings" layout that later versions dropped.
    places.allUsersPrograms = ShellFolder(CSIDL_COMMON_PROGRAMS);
    return places;
}

}  // namespace vt
