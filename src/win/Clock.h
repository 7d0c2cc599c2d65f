#pragma once
// The current local time, through a seam that tests can set.
#include <windows.h>

#include <functional>
#include <string>

namespace vt {

SYSTEMTIME LocalNow();
// An empty function puts the system clock back.
void SetClockSeam(std::function<SYSTEMTIME()> seam);

// The user's time and date separators (":" and "/" in most locales).
std::wstring TimeSeparator();
std::wstring DateSeparator();

// "07" for 7; only the last two digits of larger numbers.
std::wstring TwoDigits(unsigned value);
// Two-digit hour and minute joined by the separator: "08.30", "08:30".
std::wstring ClockText(const SYSTEMTIME& time, const std::wstring& separator);

}  // namespace vt
