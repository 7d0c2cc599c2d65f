#pragma once
// The uninstaller's one window, "Attendere...", drawn once and never pumped, and its
// owner-less message boxes.
#include <windows.h>

#include <string>

#include "uninstaller/RunScreen.h"

namespace vt::sweepex {

inline constexpr wchar_t kProgressClassName[] = L"DorviSweepex";

class ProgressScreen : public RunScreen {
public:
    // Shows the window at once; without its class the run goes on with no window.
    explicit ProgressScreen(const std::wstring& productName);
    ~ProgressScreen() override;
    ProgressScreen(const ProgressScreen&) = delete;
    ProgressScreen& operator=(const ProgressScreen&) = delete;

    HWND Handle() const { return window_; }
    void HideProgress() override;
    int ShowBox(const MessageBoxRequest& request) override;

private:
    HWND window_ = nullptr;
};

}  // namespace vt::sweepex
