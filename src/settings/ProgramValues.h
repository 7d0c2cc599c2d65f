#pragma once
// The store's values that belong to no job: the log file, the main window and start-up, the
// installation, and the file-list editor's folders.
#include <optional>
#include <string>

namespace vt {

class SettingsStore;

struct LogSettings {
    bool enabled = false;
    std::wstring folder;  // the user's documents folder when nothing is stored
};
LogSettings ReadLogSettings(const SettingsStore& store);
void WriteLogSettings(const LogSettings& log);

// "Principale" values of the main window.
bool ReadShowDuringRun();
bool ReadTrayIconOn(const SettingsStore& store);
bool ReadTrayIconOn();
bool ReadProgramOn(const SettingsStore& store);
void WriteProgramOn(bool on);
int ReadSelectedPage();
void WriteSelectedPage(int page);
// The running main window's handle, for a second copy to hand over to.
int ReadWindowHandle();
void WriteWindowHandle(int handle);

// When the program last saw the clock and when the computer last went to sleep under it;
// nothing for a value never written or not a date.
struct ProgramPresence {
    std::optional<double> lastSeen, suspended;
};
ProgramPresence ReadProgramPresence();
void WriteLastSeen(double when);
void WriteSuspended(double when);
// A sleep the start or the wake has counted is not counted again.
void ForgetSuspended();

// Whether the installation dialog is due at start.
bool ReadShowInstall(const SettingsStore& store);
std::wstring ReadInstalledVersion(const SettingsStore& store);
// Closing the installation dialog: not again, and done for this version.
void WriteInstallDone();

// The machine-wide values under HKEY_LOCAL_MACHINE; nullopt when they cannot be read.
struct MachineInstallValues {
    std::wstring installingUser;
    bool allUsers = false;
};
std::optional<MachineInstallValues> ReadMachineInstallValues();
void WriteMachineInstallValues(const MachineInstallValues& values);

// The folders the file-list editor last added from; programFolder when nothing is stored.
struct AddFolders {
    std::wstring files, folder;
};
AddFolders ReadAddFolders(const std::wstring& programFolder);
void WriteAddFolders(const AddFolders& folders);

}  // namespace vt
