#pragma once
// The two ways a run writes the time: in log lines and in the names of dated folders.
#include <windows.h>

#include <string>

namespace vt {

// "dd/mm/yyyy - hh:nn:ss" with the given separators standing for "/" and ":".
std::wstring LogTimeStamp(const SYSTEMTIME& time, const std::wstring& dateSeparator,
                          const std::wstring& timeSeparator);
// Now, with the user's separators.
std::wstring LogTimeNow();
// "ddmmyy-hhnnss".
std::wstring FolderStamp(const SYSTEMTIME& time);

}  // namespace vt
