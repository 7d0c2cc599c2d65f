#include "app/StartUpSettings.h"

#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "win/Product.h"

namespace vt {

std::optional<StartUpSettings> ReadStartUpSettings() {
    const SettingsStore store;
    if (!store.IsOpen()) return std::nullopt;
    return StartUpSettings{store.ReadBool(kMainSection, L"ShowInst", true),
                           store.ReadString(kMainSection, L"Versione", L""),
                           store.ReadBool(kMainSection, L"CBAttiva", true)};
}

bool FirstRunDue(const std::optional<StartUpSettings>& settings) {
    // An unreadable "Versione" is not this version either.
    return !settings || settings->showInst || settings->version != kProductVersion;
}

}  // namespace vt
