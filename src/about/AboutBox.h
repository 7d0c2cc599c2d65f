#pragma once
// The about box: version, freeware notice, the maker's addresses, Windows and memory.
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class TFormInfo : public Form {
public:
    TFormInfo();
    ~TFormInfo() override;

    Control Image2;
    Label Label10, Label1, Label4, Label6, LabEmail1, LabSito1;
    Label LabelWinTipo, LabelMemTot, LabelMemOcc;
    Button BtnClose;

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void Label1Click();
    void Label6Click();
    void LabEmail1Click();
    void LabSito1Click();
    void BtnCloseClick();
    void ShowSystem();
    void StyleText();
    void CentreOnOwner();
    bool IsLink(HWND control) const;

    HFONT linkFont_ = nullptr;
    HFONT titleFont_ = nullptr;
};

}  // namespace vt
