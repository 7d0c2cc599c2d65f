#include "settings/CopyPolicySettings.h"

#include "settings/SettingsStore.h"

namespace vt {

std::optional<StoredCopyPolicy> ReadStoredCopyPolicy() {
    const SettingsStore store;
    if (!store.IsOpen()) return std::nullopt;
    const StoredCopyPolicy defaults;
    StoredCopyPolicy policy;
    policy.noCopies = store.ReadBool(kCopiesSection, kNoCopiesValue, defaults.noCopies);
    policy.unlimited = store.ReadBool(kCopiesSection, kUnlimitedValue, defaults.unlimited);
    policy.limited = store.ReadBool(kCopiesSection, kLimitedValue, defaults.limited);
    policy.count = store.ReadInteger(kCopiesSection, kCopiesCountValue, defaults.count);
    policy.linkUnchanged = store.ReadBool(kCopiesSection, kLinkUnchangedValue, defaults.linkUnchanged);
    return policy;
}

void WriteStoredCopyPolicy(const StoredCopyPolicy& policy) {
    SettingsStore store;
    store.WriteBool(kCopiesSection, kNoCopiesValue, policy.noCopies);
    store.WriteBool(kCopiesSection, kUnlimitedValue, policy.unlimited);
    store.WriteBool(kCopiesSection, kLimitedValue, policy.limited);
    store.WriteInteger(kCopiesSection, kCopiesCountValue, policy.count);
    store.WriteBool(kCopiesSection, kLinkUnchangedValue, policy.linkUnchanged);
}

}  // namespace vt
