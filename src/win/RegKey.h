#pragma once
// An owning registry key handle with the few typed accessors the program uses.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vt {

class RegKey {
public:
    RegKey() = default;
    ~RegKey();
    RegKey(RegKey&& other) noexcept;
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Opens an existing key; never creates anything.
    static RegKey Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ);
    // Opens the key, creating it and its parents when missing.
    static RegKey Create(HKEY root, const std::wstring& path, REGSAM access = KEY_ALL_ACCESS);

    bool IsOpen() const { return key_ != nullptr; }
    HKEY Get() const { return key_; }
    void Close();

    // Text of a string value; nullopt when it is missing or not a string.
    std::optional<std::wstring> ReadString(const std::wstring& name) const;
    bool WriteString(const std::wstring& name, const std::wstring& value);
    std::optional<std::vector<BYTE>> ReadBinary(const std::wstring& name) const;
    bool WriteBinary(const std::wstring& name, const std::vector<BYTE>& data);
    bool ValueExists(const std::wstring& name) const;
    bool DeleteValue(const std::wstring& name);

private:
    explicit RegKey(HKEY key) : key_(key) {}
    HKEY key_ = nullptr;
};

// Deletes a key with everything below it; true when it is gone afterwards.
bool DeleteKeyTree(HKEY root, const std::wstring& path);
bool KeyExists(HKEY root, const std::wstring& path);

}  // namespace vt
