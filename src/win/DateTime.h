#pragma once
// Local date-times as the settings store keeps them: days since 30 December 1899, the
// fraction being the time of day.
#include <windows.h>

namespace vt {

double ToDateTime(const SYSTEMTIME& time);
SYSTEMTIME FromDateTime(double days);

}  // namespace vt
