#pragma once
// The progress state of the program's taskbar button (Windows 7 and later): busy while a run
// is in progress, the error state for a moment after a run with failures. Where the system has
// no such interface, nothing happens.
#include <windows.h>
#include <shobjidl.h>

namespace vt {

class TaskbarProgress {
public:
    enum State { None, Busy, Failed };

    TaskbarProgress() = default;
    ~TaskbarProgress();
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    // The window that owns the taskbar button.
    void Attach(HWND button) { window_ = button; }
    void Set(State state);
    State Current() const { return state_; }
    // Explorer has made the button (again): it shows nothing until it is told once more.
    void ButtonCreated();

private:
    bool Connect();
    void Apply();

    HWND window_ = nullptr;
    ITaskbarList3* list_ = nullptr;
    bool comStarted_ = false;
    bool tried_ = false;
    State state_ = None;
};

}  // namespace vt
