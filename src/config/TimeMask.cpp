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

LRESULT CALLBACK TimeMaskProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    auto shown = [edit] {
        wchar_t text[16] = {};
        GetWindowTextW(edit, text, 16);
        return TimeMaskDisplay(text);
    };
    auto selection = [edit](int& from, int& to) {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        from = static_cast<int>(start);
        to = static_cast<int>(end);
    };
    auto show = [edit](const std::wstring& display, int caret) {
        DefSubclassProc(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(display.c_str()));
        SendMessageW(edit, EM_SETSEL, caret, caret);
    };
    auto typeText = [&](std::wstring_view text) {
        std::wstring display = shown();
        int from, to;
        selection(from, to);
        TimeMaskErase(display, from, to);
        int caret = from;
        for (wchar_t c : text)
            if (IsDigit(c)) TimeMaskType(display, caret, c);
        show(display, caret);
    };

    switch (msg) {
        case WM_SETTEXT: {
            const std::wstring display =
                TimeMaskDisplay(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
            return DefSubclassProc(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(display.c_str()));
        }
        case WM_CHAR: {
            const wchar_t c = static_cast<wchar_t>(wParam);
            if (IsDigit(c)) {
                const wchar_t digit[] = {c, 0};
                typeText(digit);
            } else if (c == VK_BACK) {
                std::wstring display = shown();
                int from, to;
                selection(from, to);
                if (from != to) {
                    TimeMaskErase(display, from, to);
                } else {
                    TimeMaskBackspace(display, from);
                }
                show(display, from);
            } else if (c >= L' ') {
                MessageBeep(MB_OK);
            } else if (c == 3) {
                break;  // Ctrl+C copies as usual
            } else if (c == 22) {
                SendMessageW(edit, WM_PASTE, 0, 0);
            } else if (c == 24) {
                SendMessageW(edit, WM_CUT, 0, 0);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_DELETE) {
                std::wstring display = shown();
                int from, to;
                selection(from, to);
                TimeMaskErase(display, from, from == to ? from + 1 : to);
                show(display, from);
                return 0;
            }
            break;
        case WM_PASTE: {
            std::wstring text;
            if (IsClipboardFormatAvailable(CF_UNICODETEXT) && OpenClipboard(edit)) {
                if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                        text = chars;
                        GlobalUnlock(data);
                    }
                }
                CloseClipboard();
            }
            typeText(text);
            return 0;
        }
        case EM_REPLACESEL:
            typeText(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
            return 0;
        case WM_CUT:
            SendMessageW(edit, WM_COPY, 0, 0);
            [[fallthrough]];
        case WM_CLEAR: {
            std::wstring display = shown();
            int from, to;
            selection(from, to);
            TimeMaskErase(display, from, to);
            show(display, from);
            return 0;
        }
        case WM_UNDO:
        case EM_UNDO:
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(edit, &TimeMaskProc, 1);
            break;
        default:
            break;
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

void AttachTimeMask(HWND edit) {
    SendMessageW(edit, EM_LIMITTEXT, kLength, 0);
    SetWindowSubclass(edit, &TimeMaskProc, 1, 0);
    SetWindowTextW(edit, L"");
}

}  // namespace vt
