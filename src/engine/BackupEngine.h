#pragma once
// The backup engine: runs one job from start to end.
#include "engine/RunHost.h"

namespace vt {

class TFormBackup {
public:
    explicit TFormBackup(RunHost& host) : host_(host) {}

    void RunJob(int slot);

private:
    RunHost& host_;
};

}  // namespace vt
