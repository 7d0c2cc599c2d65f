#include "settings/SettingsStore.h"

#include <cstring>

#include "win/Text.h"

namespace vt {

namespace {

std::optional<std::wstring> ReadText(const RegKey& key, const std::wstring& section,
                                     const std::wstring& name) {
    if (!key.IsOpen()) return std::nullopt;
    const RegKey sectionKey = RegKey::Open(key.Get(), section, KEY_READ);
    return sectionKey.ReadString(name);
}

}  // namespace

SettingsStore::SettingsStore() : key_(RegKey::Create(HKEY_CURRENT_USER, kSettingsKey)) {}

std::wstring SettingsStore::ReadString(const std::wstring& section, const std::wstring& name,
                                       const std::wstring& defaultValue) const {
    return ReadText(key_, section, name).value_or(defaultValue);
}

int SettingsStore::ReadInteger(const std::wstring& section, const std::wstring& name,
                               int defaultValue) const {
    const auto text = ReadText(key_, section, name);
    int value = 0;
    return text && ParseInteger(*text, value) ? value : defaultValue;
}

bool SettingsStore::ReadBool(const std::wstring& section, const std::wstring& name,
                             bool defaultValue) const {
    return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}

std::optional<double> SettingsStore::ReadDateTime(const std::wstring& section,
                                                  const std::wstring& name) const {
    if (!key_.IsOpen()) return std::nullopt;
    const RegKey sectionKey = RegKey::Open(key_.Get(), section, KEY_READ);
    const auto data = sectionKey.ReadBinary(name);
    if (!data || data->size() != sizeof(double)) return std::nullopt;
    double value;
    std::memcpy(&value, data->data(), sizeof value);
    return value;
}

bool SettingsStore::WriteString(const std::wstring& section, const std::wstring& name,
                                const std::wstring& value) {
    if (!key_.IsOpen()) return false;
    RegKey sectionKey = RegKey::Create(key_.Get(), section);
    return sectionKey.WriteString(name, value);
}

bool SettingsStore::WriteInteger(const std::wstring& section, const std::wstring& name, int value) {
    return WriteString(section, name, std::to_wstring(value));
}

bool SettingsStore::WriteBool(const std::wstring& section, const std::wstring& name, bool value) {
    return WriteString(section, name, value ? L"1" : L"0");
}

bool SettingsStore::WriteDateTime(const std::wstring& section, const std::wstring& name, double value) {
    if (!key_.IsOpen()) return false;
    RegKey sectionKey = RegKey::Create(key_.Get(), section);
    std::vector<BYTE> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    return sectionKey.WriteBinary(name, data);
}

void SettingsStore::DeleteValue(const std::wstring& section, const std::wstring& name) {
    if (!key_.IsOpen()) return;
    RegKey sectionKey = RegKey::Open(key_.Get(), section, KEY_SET_VALUE);
    if (sectionKey.IsOpen()) sectionKey.DeleteValue(name);
}

}  // namespace vt
