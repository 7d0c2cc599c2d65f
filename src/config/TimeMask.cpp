#include "config/TimeMask.h"

#include <commctrl.h>

#include "win/Text.h"

namespace vt {

namespace {

constexpr int kLength = 5;
constexpr int kColon = 2;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool ParsePart(std::wstring_view part, int& value) {
    size_t begin = part.find_first_not_of(L' ');
    if (begin == std::wstring_view::npos) return false;
    const size_t end = part.find_last_not_of(L' ');
    part = part.substr(begin, end - begin + 1);
    if (part.size() > 2) return false;
    value = 0;
    for (wchar_t c : part) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - L'0');
    }
    return true;
}

std::wstring Padded(int hours, int minutes) {
    wchar_t text[8];
    wsprintfW(text, L"%02d:%02d", hours, minutes);
    return text;
}

std::wstring ShownText(HWND edit) {
    wchar_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    return TimeMaskDisplay(text);
}

struct Selection {
    int from = 0, to = 0;
};

Selection SelectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

// Bypasses our own WM_SETTEXT, which would reformat the text once more.
void Show(HWND edit, const std::wstring& display, int caret) {
    DefSubclassProc(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(display.c_str()));
    SendMessageW(edit, EM_SETSEL, caret, caret);
}

// Replaces the selection with the digits of the text; everything else in it is dropped.
void TypeText(HWND edit, std::wstring_view text) {
    std::wstring display = ShownText(edit);
    const Selection selection = SelectionOf(edit);
    TimeMaskErase(display, selection.from, selection.to);
    int caret = selection.from;
    for (wchar_t c : text)
        if (IsDigit(c)) TimeMaskType(display, caret, c);
    Show(edit, display, caret);
}

void EraseSelection(HWND edit, bool forwardDelete) {
    std::wstring display = ShownText(edit);
    const Selection selection = SelectionOf(edit);
    const bool empty = selection.from == selection.to;
    TimeMaskErase(display, selection.from, forwardDelete && empty ? selection.from + 1 : selection.to);
    Show(edit, display, selection.from);
}

void Backspace(HWND edit) {
    const Selection selection = SelectionOf(edit);
    if (selection.from != selection.to) {
        EraseSelection(edit, false);
        return;
    }
    std::wstring display = ShownText(edit);
    int caret = selection.from;
    TimeMaskBackspace(display, caret);
    Show(edit, display, caret);
}

std::wstring ClipboardText(HWND edit) {
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(edit)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

const wchar_t* TextParameter(LPARAM lParam) { return lParam ? reinterpret_cast<const wchar_t*>(lParam) : L""; }

LRESULT OnSetText(HWND edit, LPARAM lParam) {
    const std::wstring display = TimeMaskDisplay(TextParameter(lParam));
    return DefSubclassProc(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(display.c_str()));
}

// False when the edit control's own handling is wanted.
bool OnChar(HWND edit, wchar_t c) {
    switch (TimeMaskCharActionFor(c)) {
        case TimeMaskCharAction::Type: TypeText(edit, std::wstring_view(&c, 1)); break;
        case TimeMaskCharAction::Backspace: Backspace(edit); break;
        case TimeMaskCharAction::Refuse: MessageBeep(MB_OK); break;
        case TimeMaskCharAction::Copy: return false;
        case TimeMaskCharAction::Paste: SendMessageW(edit, WM_PASTE, 0, 0); break;
        case TimeMaskCharAction::Cut: SendMessageW(edit, WM_CUT, 0, 0); break;
        case TimeMaskCharAction::Ignore: break;
    }
    return true;
}

LRESULT CALLBACK TimeMaskProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (msg) {
        case WM_SETTEXT: return OnSetText(edit, lParam);
        case WM_CHAR:
            if (OnChar(edit, static_cast<wchar_t>(wParam))) return 0;
            break;
        case WM_KEYDOWN:
            if (wParam != VK_DELETE) break;
            EraseSelection(edit, true);
            return 0;
        case WM_PASTE: TypeText(edit, ClipboardText(edit)); return 0;
        case EM_REPLACESEL: TypeText(edit, TextParameter(lParam)); return 0;
        case WM_CUT:
            SendMessageW(edit, WM_COPY, 0, 0);
            EraseSelection(edit, false);
            return 0;
        case WM_CLEAR: EraseSelection(edit, false); return 0;
        case WM_UNDO:
        case EM_UNDO: return 0;
        case WM_NCDESTROY: RemoveWindowSubclass(edit, &TimeMaskProc, 1); break;
        default: break;
    }
    return DefSubclassProc(edit, msg, wParam, lParam);
}

}  // namespace

std::wstring TimeMaskDisplay(std::wstring_view text) {
    if (text.size() == kLength && text[kColon] == L':') {
        std::wstring display(kTimeMaskEmpty);
        for (int i : {0, 1, 3, 4})
            if (IsDigit(text[static_cast<size_t>(i)])) display[static_cast<size_t>(i)] = text[static_cast<size_t>(i)];
        return display;
    }
    int hours, minutes;
    if (ParseTimeOfDay(text, hours, minutes)) return Padded(hours, minutes);
    return kTimeMaskEmpty;
}

std::wstring TimeMaskValue(std::wstring_view display) {
    std::wstring value = TimeMaskDisplay(display);
    for (wchar_t& c : value)
        if (c == L'-') c = L' ';
    return value;
}

bool ParseTimeOfDay(std::wstring_view text, int& hours, int& minutes) {
    const size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos || text.find(L':', colon + 1) != std::wstring_view::npos) return false;
    int h, m;
    if (!ParsePart(text.substr(0, colon), h) || !ParsePart(text.substr(colon + 1), m)) return false;
    if (h > 23 || m > 59) return false;
    hours = h;
    minutes = m;
    return true;
}

std::wstring StoredTime(std::wstring_view value) {
    int hours, minutes;
    // Padded, so that a time typed with a blank position (" 8:30") still matches the clock.
    return ParseTimeOfDay(value, hours, minutes) ? Padded(hours, minutes) : std::wstring(kTimeMaskEmpty);
}

std::wstring StoredInterval(std::wstring_view text) {
    int value;
    return ParseInteger(text, value) ? std::wstring(text.substr(0, 2)) : std::wstring();
}

void TimeMaskType(std::wstring& display, int& caret, wchar_t digit) {
    if (caret == kColon) ++caret;
    if (caret < 0 || caret >= kLength) return;
    display[static_cast<size_t>(caret)] = digit;
    ++caret;
    if (caret == kColon) ++caret;
}

void TimeMaskErase(std::wstring& display, int from, int to) {
    for (int i = from < 0 ? 0 : from; i < to && i < kLength; ++i)
        if (i != kColon) display[static_cast<size_t>(i)] = L'-';
}

void TimeMaskBackspace(std::wstring& display, int& caret) {
    if (caret <= 0) return;
    if (caret > kLength) caret = kLength;
    --caret;
    if (caret == kColon) --caret;
    display[static_cast<size_t>(caret)] = L'-';
}

TimeMaskCharAction TimeMaskCharActionFor(wchar_t c) {
    constexpr wchar_t kCtrlC = 3, kCtrlV = 22, kCtrlX = 24;
    if (IsDigit(c)) return TimeMaskCharAction::Type;
    if (c == VK_BACK) return TimeMaskCharAction::Backspace;
    if (c >= L' ') return TimeMaskCharAction::Refuse;
    if (c == kCtrlC) return TimeMaskCharAction::Copy;
    if (c == kCtrlV) return TimeMaskCharAction::Paste;
    if (c == kCtrlX) return TimeMaskCharAction::Cut;
    return TimeMaskCharAction::Ignore;
}

void AttachTimeMask(HWND edit) {
    SendMessageW(edit, EM_LIMITTEXT, kLength, 0);
    SetWindowSubclass(edit, &TimeMaskProc, 1, 0);
    SetWindowTextW(edit, L"");
}

}  // namespace vt
