#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vt {

struct RunningProcess {
    std::wstring exeFile;          // file name, without folder
    std::optional<DWORD> session;  // unset when the system would not tell
};

std::vector<RunningProcess> RunningProcesses();

// How many of the processes have this executable file name (compared without regard to case)
// and run in this session. One whose session is unknown is not counted: our own processes can
// always be asked, so it belongs to someone else.
int CountInSession(const std::vector<RunningProcess>& processes, const std::wstring& exeName, DWORD session);

// The same over the running processes, in the caller's own session: with fast user switching
// every user has his own copies.
int CountProcessesInOwnSession(const std::wstring& exeName);

}  // namespace vt
