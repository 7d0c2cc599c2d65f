#pragma once
// What the configuration tests share: a guarded settings key, a temporary data folder, and
// scripted answers for the message boxes, the folder picker and the file dialog.
#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/Pickers.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/NotifyUser.h"

namespace vt::test {

class ConfigTest : public testing::Test {
protected:
    ConfigTest();
    ~ConfigTest() override;

    std::wstring Read(const std::wstring& section, const std::wstring& name) const;
    void Write(const std::wstring& section, const std::wstring& name, const std::wstring& value) const;

    SettingsGuard settings_;
    TempFolder data_;
    // Message boxes shown, each answered with the next answer (IDYES when none is left).
    std::vector<MessageBoxRequest> boxes_;
    std::deque<int> answers_;
    // The next folder the picker returns (nothing: cancelled) and the folders it started at.
    std::optional<std::wstring> pickedFolder_;
    std::vector<std::wstring> pickerStarts_;
    FileDialogResult fileResult_;
    std::vector<FileDialogRequest> fileRequests_;
    std::vector<std::wstring> helpKeywords_;
};

// Sends what a user's choice in a drop-down list sends.
void Choose(HWND combo, int index);
void Click(HWND button);
// Sets a check box as a click would and tells its window.
void Tick(HWND box, bool checked);
void TypeText(HWND edit, const std::wstring& text);
// Enter typed in a control, as the dialog manager of the window's message loop sees it.
void PressEnter(HWND window, HWND control);

}  // namespace vt::test
