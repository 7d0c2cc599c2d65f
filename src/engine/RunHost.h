#pragma once
// What the backup engine needs from the main window while it runs a job.
#include <string>

namespace vt {

class RunHost {
public:
    virtual ~RunHost() = default;
    virtual void AppendLog(const std::wstring& line) = 0;  // raises IoFailure when the log cannot be written
    virtual void SetStatusText(const std::wstring& text) = 0;
    virtual void SetClockText(const std::wstring& text) = 0;
    // Paints what changed at once: a copy does not run the message loop.
    virtual void Repaint() = 0;
    virtual void ShowForRun() = 0;
    virtual void HideAfterRun() = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    virtual bool JobEnabled(int slot) const = 0;
};

}  // namespace vt
