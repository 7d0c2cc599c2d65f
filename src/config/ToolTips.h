#pragma once
// Hints of the dialogs that have no status line: shown as the platform's tooltips.
#include <windows.h>

#include <string>

namespace vt {

class ToolTips {
public:
    void Create(HWND dialog);
    void Add(HWND control, const std::wstring& text);
    // The hint a control carries; empty when none.
    std::wstring TextOf(HWND control) const;

private:
    HWND dialog_ = nullptr;
    HWND tip_ = nullptr;
};

}  // namespace vt
