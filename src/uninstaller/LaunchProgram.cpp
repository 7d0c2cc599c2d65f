#include "uninstaller/LaunchProgram.h"

#include <windows.h>

#include "win/Paths.h"

namespace vt::sweepex {

bool LaunchProgram(const std::wstring& ownFolder, const std::wstring& commandLine) {
    if (commandLine.empty()) return false;
    std::wstring application;
    const bool bareName = commandLine.find_first_of(L"\\/:") == std::wstring::npos;
    if (bareName && FileExists(ownFolder + L"\\" + commandLine)) application = ownFolder + L"\\" + commandLine;

    std::wstring line = commandLine;
    // A name with blanks left to the system's search must not be cut at its first blank.
    if (application.empty() && line.find(L' ') != std::wstring::npos && line.front() != L'"')
        line = L"\"" + line + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr,
                        FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace vt::sweepex
