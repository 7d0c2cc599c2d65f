#include "engine/TimeStamps.h"

#include "win/Clock.h"

namespace vt {

std::wstring LogTimeStamp(const SYSTEMTIME& t, const std::wstring& dateSeparator, const std::wstring& timeSeparator) {
    return TwoDigits(t.wDay) + dateSeparator + TwoDigits(t.wMonth) + dateSeparator + std::to_wstring(t.wYear) +
           L" - " + TwoDigits(t.wHour) + timeSeparator + TwoDigits(t.wMinute) + timeSeparator + TwoDigits(t.wSecond);
}

std::wstring LogTimeNow() { return LogTimeStamp(LocalNow(), DateSeparator(), TimeSeparator()); }

std::wstring FolderStamp(const SYSTEMTIME& t) {
    return TwoDigits(t.wDay) + TwoDigits(t.wMonth) + TwoDigits(t.wYear % 100) + L"-" + TwoDigits(t.wHour) +
           TwoDigits(t.wMinute) + TwoDigits(t.wSecond);
}

}  // namespace vt
