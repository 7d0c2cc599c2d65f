#include "install/OtherProfiles.h"

#include <windows.h>

#include "install/Shortcuts.h"
#include "settings/SettingsStore.h"
#include "win/FileHelpers.h"
#include "win/Paths.h"
#include "win/Platform.h"
#include "win/RegKey.h"
#include "win/TreeDeletion.h"
#include "win/Text.h"

namespace vt {

namespace {

constexpr wchar_t kProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

std::wstring ExpandEnvironment(const std::wstring& text) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return {};
    expanded.resize(written - 1);
    return expanded;
}

// The profile path is stored as REG_EXPAND_SZ ("%SystemDrive%\Users\x"). Asking for it expanded
// together with REG_SZ is refused before Windows 8 and by Wine: read it as stored, expand it here.
std::wstring ExpandedValue(HKEY key, const wchar_t* subKey, const wchar_t* name) {
    constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    if (RegGetValueW(key, subKey, name, kFlags, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
    std::wstring stored(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(stored.size() * sizeof(wchar_t));
    if (RegGetValueW(key, subKey, name, kFlags, nullptr, stored.data(), &size) != ERROR_SUCCESS) return {};
    stored.resize(wcslen(stored.c_str()));
    return ExpandEnvironment(stored);
}

}  // namespace

std::vector<std::wstring> SystemProfileFolders() {
    // Only the accounts of people (S-1-5-21-...): the service profiles are always loaded,
    // and folders such as "All Users" or "Public" hold no hive at all.
    std::vector<std::wstring> folders;
    RegKey list = RegKey::Open(HKEY_LOCAL_MACHINE, kProfileList);
    if (!list.IsOpen()) return folders;
    for (DWORD index = 0;; ++index) {
        wchar_t sid[256] = {};
        DWORD length = 256;
        if (RegEnumKeyExW(list.Get(), index, sid, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (wcsncmp(sid, L"S-1-5-21-", 9) != 0) continue;
        const std::wstring folder = ExcludeTrailingBackslash(ExpandedValue(list.Get(), sid, L"ProfileImagePath"));
        if (!folder.empty() && FolderExists(folder)) folders.push_back(folder);
    }
    return folders;
}

std::wstring RelativeToProfile(const std::wstring& folder, const std::wstring& profile) {
    const std::wstring root = ExcludeTrailingBackslash(profile);
    if (root.empty() || folder.size() <= root.size() || folder[root.size()] != L'\\' ||
        !EqualsNoCase(std::wstring_view(folder).substr(0, root.size()), root))
        return folder;
    return folder.substr(root.size());
}

OtherProfiles SystemOtherProfiles(const std::wstring& currentUser) {
    OtherProfiles profiles;
    profiles.folders = SystemProfileFolders();
    profiles.currentUser = currentUser;
    profiles.ownProfile = UserProfileFolder();
    profiles.appDataRel = RelativeToProfile(ShellFolder(0x001a /* CSIDL_APPDATA */), profiles.ownProfile);
    profiles.programsRel = RelativeToProfile(ShellFolder(0x0002 /* CSIDL_PROGRAMS */), profiles.ownProfile);
    return profiles;
}

std::vector<std::wstring> TakingPart(const OtherProfiles& profiles) {
    std::vector<std::wstring> taking;
    for (const std::wstring& folder : profiles.folders) {
        const std::wstring name = FileNameOf(folder);
        if (name.empty() || name[0] == L'.') continue;
        if (EqualsNoCase(name, profiles.currentUser)) continue;
        if (EqualsNoCase(ExcludeTrailingBackslash(folder), ExcludeTrailingBackslash(profiles.ownProfile))) continue;
        taking.push_back(folder);
    }
    return taking;
}

void EnableHivePrivilege(const std::wstring& word) {
    const wchar_t* privilege = word == L"salva" ? L"SeBackupPrivilege" : L"SeRestorePrivilege";
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, privilege, &wanted.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &wanted, 0, nullptr, nullptr);
    CloseHandle(token);
}

void UnloadTempHive() {
    EnableHivePrivilege(L"leggi");
    RegUnLoadKeyW(HKEY_LOCAL_MACHINE, kTempHiveKey);
}

bool MountTempHive(const std::wstring& hiveFile) {
    EnableHivePrivilege(L"leggi");
    // A missing file would make some systems create an empty hive.
    if (!FileExists(hiveFile)) return false;
    return RegLoadKeyW(HKEY_LOCAL_MACHINE, kTempHiveKey, hiveFile.c_str()) == ERROR_SUCCESS;
}

bool SomeoneLoggedOn(const OtherProfiles& profiles) {
    if (profiles.folders.empty()) return false;
    EnableHivePrivilege(L"leggi");
    for (const std::wstring& folder : TakingPart(profiles)) {
        UnloadTempHive();
        const bool mounted = MountTempHive(folder + L"\\NTUSER.DAT");
        UnloadTempHive();
        if (!mounted) return true;
    }
    return false;
}

namespace {

// The profile's files, walked by handles from the profile folder down: every folder below it is
// the user's, and a link there leads out of the profile.
void SweepProfileFiles(const std::wstring& folder, const OtherProfiles& profiles, bool uninstall) {
    const std::wstring programsDorvi = profiles.programsRel + L"\\Dorvi";
    DeleteFileBelow(folder, L"Desktop\\Vaultick.lnk");
    DeleteFileBelow(folder, profiles.appDataRel + L"\\Microsoft\\Internet Explorer\\Quick Launch\\Vaultick.lnk");
    DeleteTreeBelow(folder, programsDorvi + L"\\Vaultick");
    RemoveEmptyFolderBelow(folder, programsDorvi);
    if (uninstall) DeleteTreeBelow(folder, profiles.appDataRel + L"\\Dorvi\\Vaultick");
}

// The autostart value and, when uninstalling, the settings key, from the hive mounted at the
// temporary key; true when anything was deleted.
bool EditMountedHive(bool uninstall) {
    const std::wstring root = kTempHiveKey;
    bool changed = false;
    if (RegKey run = RegKey::Open(HKEY_LOCAL_MACHINE, root + L"\\" + kRunKey, KEY_ALL_ACCESS); run.IsOpen())
        changed = run.DeleteValue(kAutostartValue);
    if (uninstall) {
        const std::wstring settings = root + L"\\" + kSettingsKey;
        if (KeyExists(HKEY_LOCAL_MACHINE, settings)) changed = DeleteKeyTree(HKEY_LOCAL_MACHINE, settings) || changed;
    }
    return changed;
}

// Unmounts the hive with its edits kept in its file.
void UnmountEditedHive(const std::wstring& hiveFile, bool changed) {
    if (!changed || !RunningUnderWine()) {
        if (changed)
            if (RegKey mounted = RegKey::Open(HKEY_LOCAL_MACHINE, kTempHiveKey, KEY_READ); mounted.IsOpen())
                RegFlushKey(mounted.Get());
        UnloadTempHive();
        return;
    }
    // Wine keeps a mounted hive in memory only: the edited hive is saved beside the file and put
    // in its place once it is unmounted.
    const std::wstring edited = hiveFile + L".DorviNew";
    EnableHivePrivilege(L"salva");
    DeleteFileW(edited.c_str());
    bool saved = false;
    if (RegKey mounted = RegKey::Open(HKEY_LOCAL_MACHINE, kTempHiveKey, KEY_READ); mounted.IsOpen())
        saved = RegSaveKeyW(mounted.Get(), edited.c_str(), nullptr) == ERROR_SUCCESS;
    UnloadTempHive();
    if (saved && !MoveFileExW(edited.c_str(), hiveFile.c_str(), MOVEFILE_REPLACE_EXISTING)) DeleteFileW(edited.c_str());
}

}  // namespace

void RemoveFromOtherProfiles(const OtherProfiles& profiles, const ShellPlaces& places, bool uninstall) {
    if (profiles.folders.empty()) return;
    DeleteShortcutItem(places, L"Dorvi\\Vaultick", L"Start_FolderAll");
    DeleteShortcutItem(places, L"Dorvi", L"Start_Folder_VuotoAll");
    for (const std::wstring& folder : TakingPart(profiles)) ClearProfile(folder + L"\\NTUSER.DAT", profiles, uninstall);
}

void RemoveFromOtherHives(const OtherProfiles& profiles, bool uninstall) {
    if (!uninstall) return;
    DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
    if (RegKey run = RegKey::Create(HKEY_CURRENT_USER, kRunKey); run.IsOpen()) run.DeleteValue(kAutostartValue);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kSettingsKey);
}

bool ClearProfile(const std::wstring& hiveFile, const OtherProfiles& profiles, bool uninstall) {
    UnloadTempHive();
    // While its hive is mounted here its user cannot log on; a hive that cannot be mounted
    // belongs to a user who is logged on, and that profile is left as it is.
    if (!MountTempHive(hiveFile)) {
        OutputDebugStringW((L"Vaultick: profile in use, left alone: " + FolderOf(hiveFile) + L"\n").c_str());
        return false;
    }
    SweepProfileFiles(FolderOf(hiveFile), profiles, uninstall);
    UnmountEditedHive(hiveFile, EditMountedHive(uninstall));
    return true;
}

}  // namespace vt
