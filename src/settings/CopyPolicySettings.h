#pragma once
// The copy policy as stored in "NrBackup": one flag per kind, the count and the sharing switch.
#include <optional>

#include "settings/SettingsSchema.h"

namespace vt {

struct StoredCopyPolicy {
    bool noCopies = false;
    bool unlimited = false;
    bool limited = true;
    int count = kCopiesCountDefault;
    bool linkUnchanged = false;
};

// nullopt when the store cannot be opened.
std::optional<StoredCopyPolicy> ReadStoredCopyPolicy();
void WriteStoredCopyPolicy(const StoredCopyPolicy& policy);

}  // namespace vt
