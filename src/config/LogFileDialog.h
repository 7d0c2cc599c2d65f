#pragma once
// The log file switch and the folder it is written in, for all jobs.
#include <string>

#include "config/ToolTips.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class TFormLogFile : public Form {
public:
    TFormLogFile();

    Label Label1;
    Edit Edit1;
    Button BtnBrowse;
    CheckBox CheckBox1;
    Button BtnAnnulla, BtnSalva, BtnHelp;
    ToolTips Hints;

    // The folder as chosen; the field shows it in lower case.
    const std::wstring& Folder() const { return folder_; }

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;

private:
    void SetFolder(const std::wstring& folder);
    void BtnBrowseClick();
    void BtnSalvaClick();

    std::wstring folder_;
};

}  // namespace vt
