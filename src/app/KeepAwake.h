#pragma once
// While a backup runs the computer does not go to sleep by itself; the system's idle timer
// counts again once the run is over, however it ended.
#include <windows.h>

#include <functional>

namespace vt {

class AwakeDuringRun {
public:
    AwakeDuringRun();
    ~AwakeDuringRun();
    AwakeDuringRun(const AwakeDuringRun&) = delete;
    AwakeDuringRun& operator=(const AwakeDuringRun&) = delete;
};

// Tests see the states asked for here instead of the system; an empty function puts the
// system back.
void SetExecutionStateSeam(std::function<void(EXECUTION_STATE)> seam);

}  // namespace vt
