#include "uninstaller/LaunchProgram.h"

#include <windows.h>

#include "win/Paths.h"
#include "win/WholeDrive.h"

namespace vt::sweepex {

bool LaunchProgram(const std::wstring& ownFolder, const std::wstring& commandLine) {
    // Only a program of the uninstaller's own folder: a name with a folder, or one left to the
    // system's search, could start whatever somebody put in a folder searched first.
    if (!IsPlainName(commandLine) || !FileExists(ownFolder + L"\\" + commandLine)) return false;
    const std::wstring application = ownFolder + L"\\" + commandLine;
    std::wstring line = commandLine;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr,
                        FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace vt::sweepex
