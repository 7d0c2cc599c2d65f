#include "win/ProcessList.h"

#include <windows.h>
#include <tlhelp32.h>

#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

int CountProcesses(const std::wstring& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (EqualsNoCase(FileNameOf(entry.szExeFile), exeName)) ++count;
    CloseHandle(snapshot);
    return count;
}

}  // namespace vt
