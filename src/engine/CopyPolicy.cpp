#include "engine/CopyPolicy.h"

#include "settings/CopyPolicySettings.h"

namespace vt {

CopyPolicy ReadCopyPolicy() {
    CopyPolicy policy;
    const std::optional<StoredCopyPolicy> stored = ReadStoredCopyPolicy();
    if (!stored) return policy;
    if (stored->noCopies) policy = {CopyPolicy::NoCopies, 0};
    if (stored->unlimited) policy = {CopyPolicy::Unlimited, 0};
    if (stored->limited) policy = {CopyPolicy::Limited, static_cast<unsigned>(stored->count) & 0xFFFF};
    policy.linkUnchanged = stored->linkUnchanged;
    return policy;
}

}  // namespace vt
