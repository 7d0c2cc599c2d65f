#pragma once
// The copies-count dialog: the one CopyPolicy for all jobs, saved whenever it closes.
#include "config/ToolTips.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

// The count a text stands for: a text that is not a number counts as 1; brought into 1..999.
int CopiesCount(const std::wstring& text);

class TFormNrBackup : public Form {
public:
    TFormNrBackup();

    RadioButton RB1, RB2, RB3;
    Label Label1;
    Edit SpinEdit1;
    UpDown SpinButton1;
    CheckBox CBCollega;  // unchanged files share their data with the previous copy
    Button BtnChiudi, BtnHelp;
    ToolTips Hints;

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;

private:
    void UpdateEnabling();
    void SpinEdit1Exit();
    void FormClose();

    bool closed_ = false;
};

}  // namespace vt
