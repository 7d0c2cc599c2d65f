#include "support/RegistryGuard.h"

#include "settings/SettingsStore.h"
#include "win/RegKey.h"

namespace vt::test {

namespace {

void CopyKey(HKEY root, const std::wstring& from, const std::wstring& to) {
    RegKey source = RegKey::Open(root, from, KEY_READ);
    RegKey target = RegKey::Create(root, to);
    if (source.IsOpen() && target.IsOpen()) RegCopyTreeW(source.Get(), nullptr, target.Get());
}

// Each guard its own copy: two guards of one root would otherwise restore each other's keys.
std::wstring BackupPath() {
    static int made = 0;
    return L"Software\\VaultickTestBackup\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made);
}

}  // namespace

RegistryGuard::RegistryGuard(HKEY root, std::wstring path)
    : root_(root), path_(std::move(path)), backup_(BackupPath()) {
    existed_ = KeyExists(root_, path_);
    // Parents that writes will create must go again too.
    for (size_t cut = path_.find(L'\\'); cut != std::wstring::npos; cut = path_.find(L'\\', cut + 1)) {
        if (!KeyExists(root_, path_.substr(0, cut))) {
            createdParent_ = path_.substr(0, cut);
            break;
        }
    }
    if (existed_) CopyKey(root_, path_, backup_);
    DeleteKeyTree(root_, path_);
}

RegistryGuard::~RegistryGuard() {
    DeleteKeyTree(root_, path_);
    if (existed_) {
        CopyKey(root_, backup_, path_);
        DeleteKeyTree(root_, backup_);
    }
    RegDeleteKeyW(root_, L"Software\\VaultickTestBackup");
    if (!createdParent_.empty()) DeleteKeyTree(root_, createdParent_);
}

SettingsGuard::SettingsGuard() : RegistryGuard(HKEY_CURRENT_USER, kSettingsKey) {}

}  // namespace vt::test
