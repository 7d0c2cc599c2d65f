#pragma once
// The LaunchProgram job: starts a program or opens a file, and does not wait for it.
#include "engine/RunContext.h"

namespace vt {

void RunLaunchJob(RunContext& run);

}  // namespace vt
