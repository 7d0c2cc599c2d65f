#include "RunningProgram.h"

#include <tlhelp32.h>

#include <thread>

#include "win/Paths.h"
#include "win/Text.h"

namespace vt::test {

std::wstring BinFolder() { return FolderOf(ModuleFileName()); }

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

RunningProgram::RunningProgram(const std::wstring& exePath, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    const std::wstring folder = FolderOf(exePath);
    if (CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
}

RunningProgram::~RunningProgram() {
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 60000);
    }
    CloseHandle(process_);
}

bool RunningProgram::WaitForExit(std::chrono::milliseconds deadline) {
    return process_ && WaitForSingleObject(process_, static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0;
}

bool RunningProgram::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

namespace {

struct Search {
    const std::wstring* className;
    const std::wstring* caption;
    DWORD processId;
    HWND found;
};

// A search asks every window of the session: one that hangs (a program ending) must not hold it up.
std::wstring CaptionOf(HWND window) {
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    Search& search = *reinterpret_cast<Search*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (!search.className->empty() && *search.className != name) return TRUE;
    if (search.processId && WindowProcess(window) != search.processId) return TRUE;
    if (!search.caption->empty() && *search.caption != CaptionOf(window)) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

HWND FindTopWindow(const std::wstring& className, const std::wstring& caption, DWORD processId) {
    Search search{&className, &caption, processId, nullptr};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DWORD WindowProcess(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

void EndProcesses(const std::wstring& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (!EqualsNoCase(FileNameOf(entry.szExeFile), exeName)) continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 60000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

std::wstring WindowText(HWND window) {
    // GetWindowText does not ask a control of another process for its text; WM_GETTEXT does.
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 60000, nullptr);
    return text;
}

HWND FindControl(HWND parent, int id) {
    if (HWND direct = GetDlgItem(parent, id)) return direct;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND found = FindControl(child, id)) return found;
    return nullptr;
}

}  // namespace vt::test
