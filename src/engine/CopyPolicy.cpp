#include "engine/CopyPolicy.h"

#include "settings/JobNames.h"
#include "settings/SettingsStore.h"

namespace vt {

CopyPolicy ReadCopyPolicy() {
    const SettingsStore store;
    CopyPolicy policy;
    if (!store.IsOpen()) return policy;
    if (store.ReadBool(kCopiesSection, L"RB1", false)) policy = {CopyPolicy::NoCopies, 0};
    if (store.ReadBool(kCopiesSection, L"RB2", false)) policy = {CopyPolicy::Unlimited, 0};
    if (store.ReadBool(kCopiesSection, L"RB3", true))
        policy = {CopyPolicy::Limited, static_cast<unsigned>(store.ReadInteger(kCopiesSection, L"NumBkp", 2)) & 0xFFFF};
    policy.linkUnchanged = store.ReadBool(kCopiesSection, kLinkUnchangedValue, false);
    return policy;
}

}  // namespace vt
