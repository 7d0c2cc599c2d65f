#pragma once
// How the five job slots are told apart in the settings store.
#include <string>

namespace vt {

inline constexpr int kJobCount = 5;
inline constexpr wchar_t kMainSection[] = L"Principale";
inline constexpr wchar_t kCopiesSection[] = L"NrBackup";
// In kCopiesSection beside the policy: unchanged files are linked to the previous copy.
inline constexpr wchar_t kLinkUnchangedValue[] = L"Collega";
inline constexpr wchar_t kLogSection[] = L"FileLog";

// "Vaultick1" .. "Vaultick5": the slot's own section.
inline std::wstring JobSection(int slot) { return L"Vaultick" + std::to_wstring(slot); }

// A per-job name in "Principale": no suffix for slot 1, the slot digit for slots 2 to 5.
inline std::wstring SlotValueName(const std::wstring& name, int slot) {
    return slot == 1 ? name : name + std::to_wstring(slot);
}

}  // namespace vt
