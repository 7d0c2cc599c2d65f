#pragma once
// Non-owning wrappers of the common controls: each holds the HWND of a control that its
// form owns, and offers the typed helpers the forms need.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace vt {

class Control {
public:
    void Attach(HWND control) { hwnd_ = control; }
    void Attach(HWND parent, int id) { hwnd_ = GetDlgItem(parent, id); }
    HWND Handle() const { return hwnd_; }
    int Id() const { return GetDlgCtrlID(hwnd_); }

    std::wstring Text() const;
    void SetText(const std::wstring& text) const;
    bool Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void SetEnabled(bool enabled) const { EnableWindow(hwnd_, enabled); }
    bool Visible() const { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
    void SetVisible(bool visible) const { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
    void Focus() const { SetFocus(hwnd_); }
    // Position in the parent's client coordinates.
    RECT Bounds() const;
    void SetBounds(const RECT& bounds) const;

protected:
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(hwnd_, msg, wParam, lParam);
    }
    HWND hwnd_ = nullptr;
};

class Button : public Control {
public:
    void Click() const;
};

class CheckBox : public Control {
public:
    bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
    void SetChecked(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
};

using RadioButton = CheckBox;
using Label = Control;

class Edit : public Control {
public:
    void SetMaxLength(int characters) const { Send(EM_LIMITTEXT, characters); }
};

// Drop-down list and list box share the item interface.
class ItemList : public Control {
public:
    explicit ItemList(bool isListBox) : listBox_(isListBox) {}
    int Count() const;
    std::wstring Item(int index) const;
    std::vector<std::wstring> Items() const;
    void Add(const std::wstring& text) const;
    void Delete(int index) const;
    void Clear() const;
    int ItemIndex() const;
    void SetItemIndex(int index) const;

protected:
    bool listBox_;
};

class ComboBox : public ItemList {
public:
    ComboBox() : ItemList(false) {}
};

class ListBox : public ItemList {
public:
    ListBox() : ItemList(true) {}
    bool Selected(int index) const { return Send(LB_GETSEL, index) > 0; }
    void SetSelected(int index, bool selected) const { Send(LB_SETSEL, selected, index); }
};

class StatusBar : public Control {
public:
    // Right edges of the panels, in pixels; -1 runs to the window's edge.
    void SetPanels(const std::vector<int>& rightEdges) const;
    void SetPanelText(int panel, const std::wstring& text) const;
    std::wstring PanelText(int panel) const;
};

class TabControl : public Control {
public:
    void AddTab(const std::wstring& text) const;
    int Count() const { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
    int Selected() const { return static_cast<int>(Send(TCM_GETCURSEL)); }
    void SetSelected(int index) const { Send(TCM_SETCURSEL, index); }
};

class UpDown : public Control {
public:
    void SetRange(int low, int high) const { Send(UDM_SETRANGE32, low, high); }
    int Position() const { return static_cast<int>(Send(UDM_GETPOS32)); }
    void SetPosition(int value) const { Send(UDM_SETPOS32, 0, value); }
};

// The description of the font a window uses, to make a bolder or larger one from it.
LOGFONTW FontOf(HWND window);

}  // namespace vt
