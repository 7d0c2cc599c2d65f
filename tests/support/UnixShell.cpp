#include "support/UnixShell.h"

#include <windows.h>

#include <chrono>
#include <thread>

#include "win/Paths.h"

namespace vt::test {

std::string UnixPathOf(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unix = toUnix(path.c_str());
    if (!unix) return {};
    std::string text = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return text;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted(1, '\'');
    for (char c : text) {
        if (c == '\'') quoted.append("'\\''");
        else quoted.push_back(c);
    }
    quoted.push_back('\'');
    return quoted;
}

bool RunUnixShell(const std::string& script) {
    static int counter = 0;
    // A Linux program started from Wine cannot be waited for: it says it is done with a file.
    const std::wstring done = vt::TempFolder() + L"vtshell-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
    const std::string doneUnix = UnixPathOf(done);
    if (doneUnix.empty()) return false;
    std::string line = "/bin/sh -c \"( " + script + " ) && touch " + ShellQuoted(doneUnix) + " || touch " +
                       ShellQuoted(doneUnix + ".failed") + "\"";
    std::wstring wide(line.begin(), line.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\sh", wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < deadline) {
        if (DeleteFileW(done.c_str())) return true;
        if (DeleteFileW((done + L".failed").c_str())) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

UnixLinks::~UnixLinks() {
    if (links_.empty()) return;
    std::string script = "rm -f";
    for (const std::string& link : links_) {
        script.push_back(' ');
        script.append(ShellQuoted(link));
    }
    RunUnixShell(script);
}

bool UnixLinks::Make(const std::wstring& target, const std::wstring& link) {
    const std::string from = UnixPathOf(target), to = UnixPathOf(link);
    if (from.empty() || to.empty()) return false;
    links_.push_back(to);
    return RunUnixShell("ln -s " + ShellQuoted(from) + " " + ShellQuoted(to));
}

void UnixLinks::Remember(const std::wstring& link) {
    const std::string path = UnixPathOf(link);
    if (!path.empty()) links_.push_back(path);
}

}  // namespace vt::test
