#pragma once
// What the uninstall run shows: one progress window and a few message boxes that have no
// owner. The program's screen is the real window; tests answer in its place.
#include <windows.h>

#include <string>

#include "win/NotifyUser.h"

namespace vt::sweepex {

class RunScreen {
public:
    virtual ~RunScreen() = default;
    virtual void HideProgress() = 0;
    // Returns the platform's button code (IDOK, IDYES, IDNO).
    virtual int ShowBox(const MessageBoxRequest& request) = 0;
};

// A box as the uninstaller shows it: its own caption and icon, never an owner, and a
// carriage return in the text breaking the line.
MessageBoxRequest UninstallerBox(const std::wstring& text, const std::wstring& caption, UINT flags);

}  // namespace vt::sweepex
