#pragma once
// Base of every window: a dialog template with one dialog procedure that dispatches to
// member handlers and lets no C++ exception out.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "win/Timer.h"

namespace vt {

class Form {
public:
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND Handle() const { return hwnd_; }
    // Runs the form as a modal dialog; returns the result given to EndModal.
    INT_PTR ShowModal(HWND owner);
    // Creates the form as a modeless window, hidden until shown.
    bool CreateModeless(HWND owner);
    bool IsModal() const { return modal_; }
    void EndModal(INT_PTR result);

    // Dialog keys (Tab, Esc, Enter) for the modeless forms; true when it took the message.
    static bool PreTranslate(MSG& msg);

protected:
    explicit Form(int templateId);

    virtual void OnCreate() {}
    virtual void OnCommand(int id, int notifyCode) {}
    // Close box, Esc or Alt+F4; the default ends a modal form or destroys a modeless one.
    virtual void OnClose();
    // Esc; the default is the close command.
    virtual void OnEscape() { OnClose(); }
    virtual void OnDestroy() {}
    virtual void OnHint(const std::wstring& hint) {}
    // Any other message; set handled to answer it.
    virtual INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // The topic F1 asks for, and the help context number the window carries.
    void SetHelp(std::wstring keyword, int context);
    int HelpContext() const { return helpContext_; }
    void SetHint(int id, std::wstring hint);
    void SetHint(HWND control, std::wstring hint);
    void AddTimer(Timer& timer, UINT_PTR id, UINT intervalMs, bool enabled, std::function<void()> onTimer);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR OnInitDialog();
    INT_PTR OnSetCursor(HWND control);
    INT_PTR DispatchToForm(UINT msg, WPARAM wParam, LPARAM lParam);
    void ShowHintFor(HWND control);
    HWND ControlUnderCursor(HWND reported) const;

    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    std::map<HWND, std::wstring> hints_;
    std::wstring shownHint_;
    std::vector<Timer*> timers_;
    std::wstring helpKeyword_;
    int helpContext_ = 0;
};

}  // namespace vt
