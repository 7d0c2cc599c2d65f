#include "install/InstallEnvironment.h"

#include "settings/FileListFile.h"
#include "settings/SettingsSchema.h"
#include "win/Paths.h"
#include "win/RegKey.h"

namespace vt {

bool PassesAdministratorTest() {
    try {
        RegKey probe = RegKey::Create(HKEY_LOCAL_MACHINE, kAdminProbeKey);
        if (!probe.IsOpen()) return false;
        probe.Close();
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kAdminProbeKey);
        return true;
    } catch (...) {
        return false;
    }
}

InstallEnvironment SystemInstallEnvironment() {
    InstallEnvironment env;
    env.exePath = ModuleFileName();
    env.removalFolder = SystemRemovalFolderPlan();
    env.dataFolder = DataFolder();
    // Every system the program runs on (Windows 7 or later) is of the NT family.
    env.isNT = true;
    env.currentUser = CurrentLogonName();
    env.places = SystemShellPlaces();
    env.profiles = SystemOtherProfiles(env.currentUser);
    return env;
}

}  // namespace vt
