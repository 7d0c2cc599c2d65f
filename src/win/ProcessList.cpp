#include "win/ProcessList.h"

#include <tlhelp32.h>

#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

std::vector<RunningProcess> RunningProcesses() {
    std::vector<RunningProcess> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        RunningProcess process{FileNameOf(entry.szExeFile), std::nullopt};
        DWORD session = 0;
        if (ProcessIdToSessionId(entry.th32ProcessID, &session)) process.session = session;
        processes.push_back(std::move(process));
    }
    CloseHandle(snapshot);
    return processes;
}

int CountInSession(const std::vector<RunningProcess>& processes, const std::wstring& exeName, DWORD session) {
    int count = 0;
    for (const RunningProcess& process : processes)
        if (process.session == session && EqualsNoCase(process.exeFile, exeName)) ++count;
    return count;
}

int CountProcessesInOwnSession(const std::wstring& exeName) {
    std::vector<RunningProcess> processes = RunningProcesses();
    DWORD own = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &own)) {
        // Our own session unknown: every copy is taken for one of ours, as before sessions.
        for (RunningProcess& process : processes) process.session = own;
    }
    return CountInSession(processes, exeName, own);
}

}  // namespace vt
