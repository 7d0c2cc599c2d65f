#pragma once
// When an EveryNHours or EveryNDays job is due.

namespace vt {

// One hour in days, as the schedule has always counted it.
inline constexpr double kOneHour = 0.041666666664;

// Due when more than n units (kept modulo 256) have passed since the last run; times in days.
bool IntervalDue(double now, double lastRun, int n, double unitDays);

}  // namespace vt
