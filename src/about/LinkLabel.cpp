#include "about/LinkLabel.h"

#include <commctrl.h>

#include <string>

namespace vt {

namespace {

LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    switch (msg) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &LinkProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

SIZE TextSize(HWND label) {
    const int length = GetWindowTextLengthW(label);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(label, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    SIZE size{};
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32W(dc, text.c_str(), length, &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return size;
}

RECT BoundsInParent(HWND control) {
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

}  // namespace

void MakeLinkLabel(HWND label) {
    SetWindowSubclass(label, &LinkProc, 1, 0);
    const RECT bounds = BoundsInParent(label);
    const SIZE text = TextSize(label);
    SetWindowPos(label, nullptr, 0, 0, text.cx, bounds.bottom - bounds.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceAfterText(HWND label, HWND before) {
    const RECT previous = BoundsInParent(before);
    const RECT bounds = BoundsInParent(label);
    SetWindowPos(label, nullptr, previous.left + TextSize(before).cx, bounds.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vt
