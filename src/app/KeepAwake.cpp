#include "app/KeepAwake.h"

#include <utility>

namespace vt {

namespace {

std::function<void(EXECUTION_STATE)> g_seam;

void AskExecutionState(EXECUTION_STATE state) {
    if (g_seam) return g_seam(state);
    SetThreadExecutionState(state);
}

}  // namespace

AwakeDuringRun::AwakeDuringRun() { AskExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED); }

AwakeDuringRun::~AwakeDuringRun() { AskExecutionState(ES_CONTINUOUS); }

void SetExecutionStateSeam(std::function<void(EXECUTION_STATE)> seam) { g_seam = std::move(seam); }

}  // namespace vt
