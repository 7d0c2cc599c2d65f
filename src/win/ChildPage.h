#pragma once
// A page of controls shown inside a tab control of its parent form. It paints the tab's
// body behind its controls and hands their commands to the parent, which owns the behaviour.
#include "win/Form.h"

namespace vt {

class ChildPage : public Form {
public:
    explicit ChildPage(int templateId) : Form(templateId) {}
    // Creates the page over the display area of the tab control.
    bool Create(HWND parent, HWND tabControl);

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override {}
};

}  // namespace vt
