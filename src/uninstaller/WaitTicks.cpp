#include "uninstaller/WaitTicks.h"

#include <windows.h>

namespace vt::sweepex {

namespace {

constexpr std::uint64_t kTickMs = 864;

// The nearest whole tick, as a time of day read in ticks would be rounded.
std::uint64_t TickOf(std::uint64_t ms) { return (ms + kTickMs / 2) / kTickMs; }

}  // namespace

void WaitTicks(int n, const MillisecondClock& clock, const std::function<void()>& pause) {
    if (n <= 0) return;
    const std::uint64_t first = TickOf(clock());
    while (TickOf(clock()) - first < static_cast<std::uint64_t>(n)) pause();
}

void WaitTicks(int n) {
    // The uptime clock, unlike the time of day, does not fall back to zero at midnight.
    // A short sleep between readings keeps the wait from burning a core.
    WaitTicks(n, [] { return static_cast<std::uint64_t>(GetTickCount64()); }, [] { Sleep(10); });
}

}  // namespace vt::sweepex
