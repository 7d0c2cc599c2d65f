#pragma once
// Shell links, their folders, and the entry in the list of installed programs.
#include <string>

#include "install/ShellPlaces.h"

namespace vt {

inline constexpr wchar_t kInstalledProgramsKey[] =
    L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DorviVaultick.";

// The argument of the "Guida a Vaultick" shortcut: the program shows its help and nothing else.
inline constexpr wchar_t kHelpArgument[] = L"/guida";

// Kinds: "Start", "StartAll", "Desktop", "QuickLaunch", "File" (name is a full path without
// ".Lnk"). Returns the link file's path; empty on any failure. In probe mode nothing is
// written and the path comes back only when the link file exists.
std::wstring CreateShortcut(const ShellPlaces& places, const std::wstring& target, const std::wstring& arguments,
                            const std::wstring& workingFolder, bool probeOnly, int iconIndex,
                            const std::wstring& iconFile, const std::wstring& kind, const std::wstring& name);

// Kinds: "Start_Folder", "Start_FolderAll", "Start_Folder_Vuoto", "Start_Folder_VuotoAll",
// "Desktop", "QuickLaunch". True when every step succeeded.
bool DeleteShortcutItem(const ShellPlaces& places, const std::wstring& name, const std::wstring& kind);

// The uninstall command: the program path, quoted when it holds a blank, then " Rimuovi".
std::wstring UninstallCommand(const std::wstring& exePath);
// Writes the entry under HKEY_LOCAL_MACHINE; stops at the first write that fails.
bool WriteInstalledProgramsEntry(const std::wstring& exePath);

}  // namespace vt
