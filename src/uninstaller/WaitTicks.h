#pragma once
// The uninstaller's pause while the program that started it ends and lets go of its files.
#include <cstdint>
#include <functional>

namespace vt::sweepex {

// Milliseconds of a clock that never runs backwards (not even at midnight) nor wraps.
using MillisecondClock = std::function<std::uint64_t()>;

// Waits until n ticks of 0.864 s (1/100000 of a day) have begun, counted from the tick the
// wait starts in: between n-1 and n ticks. No window messages are processed meanwhile.
void WaitTicks(int n);
void WaitTicks(int n, const MillisecondClock& clock, const std::function<void()>& pause);

}  // namespace vt::sweepex
