#pragma once
// A built program started by a test, found by its windows and ended when the test is done.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace vt::test {

// The folder the test program runs from: the build's bin folder, where the programs are.
std::wstring BinFolder();

// Polls until the condition holds or the deadline passes; true when it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline);

class RunningProgram {
public:
    RunningProgram(const std::wstring& exePath, const std::wstring& arguments);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    // True when the process ended within the deadline.
    bool WaitForExit(std::chrono::milliseconds deadline);
    bool Running() const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// A top-level window of any process with this class and caption (either may be empty: any).
HWND FindTopWindow(const std::wstring& className, const std::wstring& caption, DWORD processId = 0);
DWORD WindowProcess(HWND window);
// Ends every process running this executable file name.
void EndProcesses(const std::wstring& exeName);
std::wstring WindowText(HWND window);
// A control with this id anywhere below the window (pages included).
HWND FindControl(HWND parent, int id);

}  // namespace vt::test
