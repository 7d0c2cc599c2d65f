#pragma once
// What an administrator's installation changes in the other user profiles of the machine:
// their shortcuts and data folders on disk, their autostart value and settings in their hives.
#include <string>
#include <vector>

#include "install/ShellPlaces.h"
#include "settings/SettingsSchema.h"

namespace vt {


struct OtherProfiles {
    std::vector<std::wstring> folders;  // every user profile folder of the machine
    std::wstring currentUser;           // logon name
    std::wstring ownProfile;            // the current user's profile folder
    std::wstring appDataRel;            // application data, relative to a profile folder
    std::wstring programsRel;           // Start-menu programs, relative to a profile folder
};

// Profile folders of the machine's user accounts, from the system's profile list.
std::vector<std::wstring> SystemProfileFolders();
OtherProfiles SystemOtherProfiles(const std::wstring& currentUser);
// folder with the profile folder taken off its front ("\AppData\Roaming"); the folder
// unchanged when it does not lie in the profile.
std::wstring RelativeToProfile(const std::wstring& folder, const std::wstring& profile);
// The folders that take part: not the current user's own (by name or by path).
std::vector<std::wstring> TakingPart(const OtherProfiles& profiles);

// "salva" enables the backup privilege, any other word the restore privilege.
void EnableHivePrivilege(const std::wstring& word);
void UnloadTempHive();
bool MountTempHive(const std::wstring& hiveFile);

// A hive that cannot be mounted is taken to belong to a user who is logged on.
bool SomeoneLoggedOn(const OtherProfiles& profiles);
// The all-users Start-menu folder, then each other profile whose hive can be mounted: while it
// is, its shortcuts (and, when uninstalling, its data folder) go from its folders, and its
// autostart value (and, when uninstalling, its settings key) from its hive. Profiles whose hive
// cannot be mounted are in use and left as they are.
void RemoveFromOtherProfiles(const OtherProfiles& profiles, const ShellPlaces& places, bool uninstall);
// When uninstalling: the current user's settings key and autostart value, and the machine's key.
void RemoveFromOtherHives(const OtherProfiles& profiles, bool uninstall);
// One profile, given by its hive file; false when its hive could not be mounted.
bool ClearProfile(const std::wstring& hiveFile, const OtherProfiles& profiles, bool uninstall);

}  // namespace vt
