#pragma once
// What the installation dialog takes from the machine.
#include <functional>
#include <string>

#include "install/OtherProfiles.h"
#include "install/RemovalFolder.h"
#include "install/ShellPlaces.h"

namespace vt {

// Everything the dialog takes from the machine; tests hand in folders of their own.
struct InstallEnvironment {
    std::wstring exePath;
    RemovalFolderPlan removalFolder;  // where a removal makes the uninstaller's folder
    std::wstring dataFolder;
    std::wstring currentUser;      // logon name
    bool isNT = true;
    // The administrator test; empty runs the real one under HKEY_LOCAL_MACHINE.
    std::function<bool()> administratorTest;
    ShellPlaces places;
    OtherProfiles profiles;
};

InstallEnvironment SystemInstallEnvironment();
// Creating and deleting "Software\ProvaKeyDorvi" under HKEY_LOCAL_MACHINE.
bool PassesAdministratorTest();

}  // namespace vt
