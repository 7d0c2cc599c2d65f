#pragma once
// The time field of the set-up window: "hh:mm" with two digit positions, a kept ":", two digit
// positions; an unfilled position shows as "-", so an empty field shows "--:--".
#include <windows.h>

#include <string>
#include <string_view>

namespace vt {

inline constexpr wchar_t kTimeMaskEmpty[] = L"--:--";

// Any text put into the field, as the field shows it: a "hh:mm" layout keeps its digits, a
// time such as "8:30" is padded, anything else shows empty.
std::wstring TimeMaskDisplay(std::wstring_view text);
// The field's value: unfilled positions as blanks (" 8:30", "  :  ").
std::wstring TimeMaskValue(std::wstring_view display);

// Hours 0..23 and minutes 0..59 separated by ":", each one or two digits with blanks around.
bool ParseTimeOfDay(std::wstring_view text, int& hours, int& minutes);
// What the job stores for the field's value: "hh:mm" zero-padded, or "--:--".
std::wstring StoredTime(std::wstring_view value);
// An hours or days field: its first two characters when it is a whole number, otherwise empty.
std::wstring StoredInterval(std::wstring_view text);

// Editing steps on the shown text; caret and selection are character positions.
void TimeMaskType(std::wstring& display, int& caret, wchar_t digit);
void TimeMaskErase(std::wstring& display, int from, int to);
void TimeMaskBackspace(std::wstring& display, int& caret);

// What a typed character does in the field: digits fill positions, other printable characters
// are refused with a beep, Ctrl+C/V/X copy, paste and cut, other control characters do nothing.
enum class TimeMaskCharAction { Type, Backspace, Refuse, Copy, Paste, Cut, Ignore };
TimeMaskCharAction TimeMaskCharActionFor(wchar_t c);

// Makes an edit control behave as the time field.
void AttachTimeMask(HWND edit);

}  // namespace vt
