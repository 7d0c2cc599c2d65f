#pragma once
// What start-up reads before it decides whether the installation dialog is due.
#include <optional>
#include <string>

namespace vt {

struct StartUpSettings {
    bool showInst = true;
    std::wstring version;
    bool programOn = true;
};

// nullopt when the settings store could not be read.
std::optional<StartUpSettings> ReadStartUpSettings();
// Due unless the store could be read and says the dialog was done for this version.
bool FirstRunDue(const std::optional<StartUpSettings>& settings);

}  // namespace vt
