#include "app/StartUpSettings.h"

#include "settings/ProgramValues.h"
#include "settings/SettingsStore.h"
#include "win/Product.h"

namespace vt {

std::optional<StartUpSettings> ReadStartUpSettings() {
    const SettingsStore store;
    if (!store.IsOpen()) return std::nullopt;
    return StartUpSettings{ReadShowInstall(store), ReadInstalledVersion(store), ReadProgramOn(store)};
}

bool FirstRunDue(const std::optional<StartUpSettings>& settings) {
    // An unreadable "Versione" is not this version either.
    return !settings || settings->showInst || settings->version != kProductVersion;
}

}  // namespace vt
