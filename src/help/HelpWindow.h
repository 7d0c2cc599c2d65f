#pragma once
// The window that shows one topic of the help file: title, text, "Chiudi".
#include "help/HelpFile.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class HelpWindow : public Form {
public:
    HelpWindow();
    ~HelpWindow() override;

    Label TitleLabel;
    Edit TextEdit;
    Button CloseButton;

    void ShowTopic(const HelpTopic& topic);
    // The viewer is the whole program: closing it ends the message loop.
    void EndProgramWhenClosed() { endsProgram_ = true; }

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnDestroy() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void Arrange();

    HFONT titleFont_ = nullptr;
    SIZE smallest_{};
    bool endsProgram_ = false;
};

}  // namespace vt
