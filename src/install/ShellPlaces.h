#pragma once
// The folders the installation manager puts shortcuts in. The dialog takes them from the
// system; tests hand in folders of their own.
#include <string>

namespace vt {

struct ShellPlaces {
    std::wstring userPrograms;      // the current user's Start-menu programs
    std::wstring userDesktop;       // the current user's desktop
    std::wstring quickLaunch;       // the current user's Quick Launch
    std::wstring allUsersPrograms;  // the Start-menu programs of all users
};

ShellPlaces SystemShellPlaces();
std::wstring QuickLaunchFolder();
// The current user's profile folder ("C:\Documents and Settings\x" on XP, "C:\Users\x" later).
std::wstring UserProfileFolder();
// The logon name; "sconosciuto" when it cannot be read.
std::wstring CurrentLogonName();

}  // namespace vt
