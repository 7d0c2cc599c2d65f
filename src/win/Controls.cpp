#include "win/Controls.h"

#include <commctrl.h>

namespace vt {

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

std::wstring Control::Text() const {
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
    return text;
}

void Control::SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }

RECT Control::Bounds() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Control::SetBounds(const RECT& r) const {
    MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void Button::Click() const {
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd_));
}

int ItemList::Count() const { return static_cast<int>(Send(listBox_ ? LB_GETCOUNT : CB_GETCOUNT)); }

std::wstring ItemList::Item(int index) const {
    const LRESULT length = Send(listBox_ ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        Send(listBox_ ? LB_GETTEXT : CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}

std::vector<std::wstring> ItemList::Items() const {
    std::vector<std::wstring> items;
    const int count = Count();
    for (int i = 0; i < count; ++i) items.push_back(Item(i));
    return items;
}

void ItemList::Add(const std::wstring& text) const {
    Send(listBox_ ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ItemList::Delete(int index) const { Send(listBox_ ? LB_DELETESTRING : CB_DELETESTRING, index); }

void ItemList::Clear() const { Send(listBox_ ? LB_RESETCONTENT : CB_RESETCONTENT); }

int ItemList::ItemIndex() const { return static_cast<int>(Send(listBox_ ? LB_GETCURSEL : CB_GETCURSEL)); }

void ItemList::SetItemIndex(int index) const { Send(listBox_ ? LB_SETCURSEL : CB_SETCURSEL, index); }

void StatusBar::SetPanels(const std::vector<int>& rightEdges) const {
    Send(SB_SETPARTS, rightEdges.size(), reinterpret_cast<LPARAM>(rightEdges.data()));
}

void StatusBar::SetPanelText(int panel, const std::wstring& text) const {
    Send(SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StatusBar::PanelText(int panel) const {
    const LRESULT length = LOWORD(Send(SB_GETTEXTLENGTHW, panel));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    Send(SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void TabControl::AddTab(const std::wstring& text) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    Send(TCM_INSERTITEMW, Count(), reinterpret_cast<LPARAM>(&item));
}

}  // namespace vt
