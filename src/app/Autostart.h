#pragma once
// The "Vaultick" value of the per-user Run key that starts the program with the session.
#include <string>

#include "settings/SettingsSchema.h"

namespace vt {

// The program path followed by " /go"; quoted when it holds a blank, so that the system
// cannot take "C:\Program" for the program.
std::wstring AutostartCommand(const std::wstring& programFolder);
// Writes the value when the program is to stay resident, deletes it otherwise.
void UpdateAutostart(const std::wstring& programFolder, bool resident);

}  // namespace vt
