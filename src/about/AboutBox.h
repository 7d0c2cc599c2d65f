#pragma once
// The about box: version, freeware notice, the maker's addresses, Windows and memory.
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class AboutBox : public Form {
public:
    AboutBox();
    ~AboutBox() override;

    Control ProgramIcon;
    Label TermsLabel, TermsLink, ThanksLabel, ThanksLink, MailLink, WebLink;
    Label WindowsLabel, TotalMemoryLabel, UsedMemoryLabel;
    Button OkButton;

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnTermsClicked();
    void OnThanksClicked();
    void OnMailClicked();
    void OnWebClicked();
    void OnOkClicked();
    void ShowSystem();
    void StyleText();
    void CentreOnOwner();
    bool IsLink(HWND control) const;

    HFONT linkFont_ = nullptr;
    HFONT titleFont_ = nullptr;
};

}  // namespace vt
