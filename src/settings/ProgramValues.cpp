#include "settings/ProgramValues.h"

#include <shlobj.h>

#include <cmath>

#include "settings/SettingsStore.h"
#include "win/Paths.h"

namespace vt {

LogSettings ReadLogSettings(const SettingsStore& store) {
    return LogSettings{store.ReadBool(kLogSection, kLogEnabledValue, false),
                       store.ReadString(kLogSection, kLogFolderValue, ShellFolder(CSIDL_PERSONAL))};
}

void WriteLogSettings(const LogSettings& log) {
    SettingsStore store;
    store.WriteString(kLogSection, kLogFolderValue, log.folder);
    store.WriteBool(kLogSection, kLogEnabledValue, log.enabled);
}

bool ReadShowDuringRun() { return SettingsStore().ReadBool(kMainSection, kShowDuringRunValue, kShowDuringRunDefault); }

bool ReadTrayIconOn(const SettingsStore& store) { return store.ReadBool(kMainSection, kTrayIconValue, kTrayIconDefault); }

bool ReadTrayIconOn() { return ReadTrayIconOn(SettingsStore()); }

bool ReadProgramOn(const SettingsStore& store) { return store.ReadBool(kMainSection, kProgramOnValue, kProgramOnDefault); }

void WriteProgramOn(bool on) { SettingsStore().WriteBool(kMainSection, kProgramOnValue, on); }

int ReadSelectedPage() { return SettingsStore().ReadInteger(kMainSection, kSelectedPageValue, 0); }

void WriteSelectedPage(int page) { SettingsStore().WriteInteger(kMainSection, kSelectedPageValue, page); }

int ReadWindowHandle() { return SettingsStore().ReadInteger(kMainSection, kWindowHandleValue, 0); }

void WriteWindowHandle(int handle) { SettingsStore().WriteInteger(kMainSection, kWindowHandleValue, handle); }

namespace {

std::optional<double> ReadMoment(const SettingsStore& store, const wchar_t* name) {
    const auto when = store.ReadDateTime(kMainSection, name);
    if (!when || !std::isfinite(*when) || *when < 1.0) return std::nullopt;
    return when;
}

}  // namespace

ProgramPresence ReadProgramPresence() {
    const SettingsStore store;
    return ProgramPresence{ReadMoment(store, kLastSeenValue), ReadMoment(store, kSuspendedValue)};
}

void WriteLastSeen(double when) { SettingsStore().WriteDateTime(kMainSection, kLastSeenValue, when); }

void WriteSuspended(double when) { SettingsStore().WriteDateTime(kMainSection, kSuspendedValue, when); }

void ForgetSuspended() { SettingsStore().DeleteValue(kMainSection, kSuspendedValue); }

bool ReadShowInstall(const SettingsStore& store) { return store.ReadBool(kMainSection, kShowInstallValue, kShowInstallDefault); }

std::wstring ReadInstalledVersion(const SettingsStore& store) {
    return store.ReadString(kMainSection, kInstalledVersionValue, L"");
}

void WriteInstallDone() {
    SettingsStore store;
    store.WriteBool(kMainSection, kShowInstallValue, false);
    store.WriteString(kMainSection, kInstalledVersionValue, kProductVersion);
}

std::optional<MachineInstallValues> ReadMachineInstallValues() {
    if (!KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey)) return std::nullopt;
    const RegKey machine = RegKey::Open(HKEY_LOCAL_MACHINE, std::wstring(kSettingsKey) + L"\\" + kMainSection);
    if (!machine.IsOpen()) return std::nullopt;
    // Only "1" is all users here, not any number but 0 as elsewhere.
    return MachineInstallValues{machine.ReadString(kInstallingUserValue).value_or(L""),
                                machine.ReadString(kAllUsersValue).value_or(L"0") == L"1"};
}

void WriteMachineInstallValues(const MachineInstallValues& values) {
    RegKey machine = RegKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kSettingsKey) + L"\\" + kMainSection);
    if (!machine.IsOpen()) return;
    machine.WriteString(kInstallingUserValue, values.installingUser);
    machine.WriteString(kAllUsersValue, values.allUsers ? L"1" : L"0");
}

AddFolders ReadAddFolders(const std::wstring& programFolder) {
    const SettingsStore store;
    return AddFolders{store.ReadString(kMainSection, kAddFilesFolderValue, programFolder),
                      store.ReadString(kMainSection, kAddFolderFolderValue, programFolder)};
}

void WriteAddFolders(const AddFolders& folders) {
    SettingsStore store;
    store.WriteString(kMainSection, kAddFilesFolderValue, folders.files);
    store.WriteString(kMainSection, kAddFolderFolderValue, folders.folder);
}

}  // namespace vt
