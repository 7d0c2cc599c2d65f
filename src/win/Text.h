#pragma once
// UTF-16 inside the program; the system's ANSI code page or UTF-8 in the files.
#include <string>
#include <string_view>

namespace vt {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);
// True when every character survives a trip through the ANSI code page unchanged.
bool FitsAnsi(std::wstring_view text);

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
std::wstring ToLower(std::wstring_view text);

// Decimal text of a whole number: optional blanks, optional sign, digits, nothing else.
bool ParseInteger(std::wstring_view text, int& value);

}  // namespace vt
