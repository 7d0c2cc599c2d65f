#pragma once
// What an administrator's installation changes in the other user profiles of the machine:
// their shortcuts and data folders on disk, their autostart value and settings in their hives.
#include <functional>
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

// The paths from the first folder below the profile down to `path` itself, outermost first;
// empty when `path` does not lie below the profile or has an empty, "." or ".." part.
std::vector<std::wstring> PathsBelowProfile(const std::wstring& profile, const std::wstring& path);
// The sweep deletes at `path` only when it lies below the profile and no part of it below the
// profile folder is a link: a link there leads out of the profile.
bool SweepMayEnter(const std::wstring& profile, const std::wstring& path,
                   const std::function<bool(const std::wstring&)>& isLink);

// "salva" enables the backup privilege, any other word the restore privilege.
void EnableHivePrivilege(const std::wstring& word);
void UnloadTempHive();
bool MountTempHive(const std::wstring& hiveFile);

// A hive that cannot be mounted is taken to belong to a user who is logged on.
bool SomeoneLoggedOn(const OtherProfiles& profiles);
void RemoveFromOtherProfiles(const OtherProfiles& profiles, const ShellPlaces& places, bool uninstall);
void RemoveFromOtherHives(const OtherProfiles& profiles, bool uninstall);
// Removes the autostart value (and, when uninstalling, the settings key) from one hive file.
void EditProfileHive(const std::wstring& hiveFile, bool uninstall);

}  // namespace vt
