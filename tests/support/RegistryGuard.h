#pragma once
// Keeps a registry key as a test found it: copies it aside, hands the test an empty key,
// and puts the original back afterwards.
#include <windows.h>

#include <string>

namespace vt::test {

class RegistryGuard {
public:
    RegistryGuard(HKEY root, std::wstring path);
    ~RegistryGuard();
    RegistryGuard(const RegistryGuard&) = delete;
    RegistryGuard& operator=(const RegistryGuard&) = delete;

private:
    HKEY root_;
    std::wstring path_;
    std::wstring backup_;
    std::wstring createdParent_;
    bool existed_ = false;
};

// The settings key, the usual thing to guard.
class SettingsGuard : public RegistryGuard {
public:
    SettingsGuard();
};

}  // namespace vt::test
