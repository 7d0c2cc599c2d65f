#include "help/HelpWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "help/HelpViewerIds.h"

namespace vt {

namespace {

// The viewer also lives while another window runs its own modal loop, where no dialog keys
// are translated for it: Esc is caught in its controls as well.
LRESULT CALLBACK EscapeCloses(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageW(GetParent(hwnd), WM_CLOSE, 0, 0);
        return 0;
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &EscapeCloses, id);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

HelpWindow::HelpWindow() : Form(IDD_HELPVIEWER) {}

HelpWindow::~HelpWindow() {
    if (Handle()) DestroyWindow(Handle());
    if (titleFont_) DeleteObject(titleFont_);
}

void HelpWindow::OnCreate() {
    TitleLabel.Attach(Handle(), IDT_HELP_TITLE);
    TextEdit.Attach(Handle(), IDE_HELP_TEXT);
    CloseButton.Attach(Handle(), IDB_HELP_CLOSE);

    LOGFONTW font = FontOf(Handle());
    font.lfWeight = FW_BOLD;
    font.lfHeight = font.lfHeight * 5 / 4;
    titleFont_ = CreateFontIndirectW(&font);
    SendMessageW(TitleLabel.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);

    SetWindowSubclass(TextEdit.Handle(), &EscapeCloses, 1, 0);
    SetWindowSubclass(CloseButton.Handle(), &EscapeCloses, 1, 0);

    RECT window;
    GetWindowRect(Handle(), &window);
    smallest_ = {(window.right - window.left) * 2 / 3, (window.bottom - window.top) / 2};
    Arrange();
}

void HelpWindow::ShowTopic(const HelpTopic& topic) {
    TitleLabel.SetText(topic.title);
    TextEdit.SetText(topic.text);
    TextEdit.Focus();
    SendMessageW(TextEdit.Handle(), EM_SETSEL, 0, 0);
    SendMessageW(TextEdit.Handle(), EM_SCROLLCARET, 0, 0);
}

void HelpWindow::OnCommand(int id, int) {
    if (id == IDB_HELP_CLOSE) OnClose();
}

void HelpWindow::OnDestroy() {
    if (endsProgram_) PostQuitMessage(0);
}

// Title across the top, the text filling the window, "Chiudi" in the bottom right corner.
void HelpWindow::Arrange() {
    RECT units{7, 12, 50, 14};
    MapDialogRect(Handle(), &units);
    const int margin = units.left, titleHeight = units.top, buttonWidth = units.right, buttonHeight = units.bottom;
    RECT client;
    GetClientRect(Handle(), &client);
    const int width = client.right - 2 * margin;
    const int buttonTop = client.bottom - margin - buttonHeight;
    const int textTop = margin + titleHeight + margin / 2;
    HDWP positions = BeginDeferWindowPos(3);
    positions = DeferWindowPos(positions, TitleLabel.Handle(), nullptr, margin, margin, width, titleHeight,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    positions = DeferWindowPos(positions, TextEdit.Handle(), nullptr, margin, textTop, width,
                               std::max(0, buttonTop - margin - textTop), SWP_NOZORDER | SWP_NOACTIVATE);
    positions = DeferWindowPos(positions, CloseButton.Handle(), nullptr, client.right - margin - buttonWidth,
                               buttonTop, buttonWidth, buttonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    EndDeferWindowPos(positions);
}

INT_PTR HelpWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) Arrange();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {smallest_.cx, smallest_.cy};
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            // Read-only text is still text to read: white, not the grey of a disabled field.
            if (reinterpret_cast<HWND>(lParam) == TextEdit.Handle()) {
                SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
                SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        default:
            break;
    }
    handled = false;
    return 0;
}

}  // namespace vt
