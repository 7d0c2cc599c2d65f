#pragma once
// The per-user settings key, organised in sections of named text values. No cache: every
// reader opens the key, reads and closes it, so each sees what the last writer wrote.
#include <optional>
#include <string>

#include "settings/SettingsSchema.h"
#include "win/RegKey.h"

namespace vt {

class SettingsStore {
public:
    // Opens the key under HKEY_CURRENT_USER with full access, creating it when missing.
    SettingsStore();
    bool IsOpen() const { return key_.IsOpen(); }
    void Close() { key_.Close(); }

    // Reads never create a section and give the default for anything missing or unreadable.
    std::wstring ReadString(const std::wstring& section, const std::wstring& name,
                            const std::wstring& defaultValue) const;
    int ReadInteger(const std::wstring& section, const std::wstring& name, int defaultValue) const;
    bool ReadBool(const std::wstring& section, const std::wstring& name, bool defaultValue) const;
    // Days since 30 December 1899 from an 8-byte binary value.
    std::optional<double> ReadDateTime(const std::wstring& section, const std::wstring& name) const;

    // Writes create the section when needed; false when the registry refused.
    bool WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& value);
    bool WriteInteger(const std::wstring& section, const std::wstring& name, int value);
    bool WriteBool(const std::wstring& section, const std::wstring& name, bool value);
    bool WriteDateTime(const std::wstring& section, const std::wstring& name, double value);
    // Removes one value; an absent section is left absent.
    void DeleteValue(const std::wstring& section, const std::wstring& name);

private:
    RegKey key_;
};

}  // namespace vt
