#include "engine/BackupEngine.h"

namespace vt {

void TFormBackup::RunJob(int slot) {
    // Runs arrive with the engine's copy, removal and launch steps.
    (void)slot;
    (void)host_;
}

}  // namespace vt
