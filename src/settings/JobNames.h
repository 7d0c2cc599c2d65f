#pragma once
// How the five job slots are told apart in the settings store.
#include <string>

#include "settings/SettingsSchema.h"

namespace vt {

inline constexpr int kJobCount = 5;

// "Vaultick1" .. "Vaultick5": the slot's own section.
inline std::wstring JobSection(int slot) { return kJobSectionPrefix + std::to_wstring(slot); }

// A per-job name in "Principale": no suffix for slot 1, the slot digit for slots 2 to 5.
inline std::wstring SlotValueName(const std::wstring& name, int slot) {
    return slot == 1 ? name : name + std::to_wstring(slot);
}

}  // namespace vt
