#pragma once
// The log file switch and the folder it is written in, for all jobs.
#include <string>

#include "config/ToolTips.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class LogFileDialog : public Form {
public:
    LogFileDialog();

    Label FolderLabel;
    Edit FolderEdit;
    Button BrowseButton;
    CheckBox EnabledCheck;
    Button CancelButton, SaveButton, HelpButton;
    ToolTips Hints;

    // The folder as chosen; the field shows it in lower case.
    const std::wstring& Folder() const { return folder_; }

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;

private:
    void SetFolder(const std::wstring& folder);
    void OnBrowseClicked();
    void OnSaveClicked();

    std::wstring folder_;
};

}  // namespace vt
