#pragma once
// The copies-count dialog: the one CopyPolicy for all jobs, saved whenever it closes.
#include "config/ToolTips.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

// The count a text stands for: a text that is not a number counts as 1; brought into 1..999.
int CopiesCount(const std::wstring& text);

class CopiesDialog : public Form {
public:
    CopiesDialog();

    RadioButton NoCopiesRadio, UnlimitedRadio, LimitedRadio;
    Label CountLabel;
    Edit CountEdit;
    UpDown CountSpin;
    CheckBox LinkUnchangedCheck;  // unchanged files share their data with the previous copy
    Button CloseButton, HelpButton;
    ToolTips Hints;

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;

private:
    void UpdateEnabling();
    void OnCountEditLeft();
    void SaveAndClose();

    bool closed_ = false;
};

}  // namespace vt
