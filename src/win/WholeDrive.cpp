#include "win/WholeDrive.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <vector>

namespace vt {

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    return true;
}

// "X:\" at the front.
bool HasDriveRoot(std::wstring_view text) {
    return text.size() >= 3 && IsDriveLetter(text[0]) && text[1] == L':' && text[2] == L'\\';
}

std::vector<std::wstring_view> Names(std::wstring_view text) {
    std::vector<std::wstring_view> names;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\\', start);
        names.push_back(text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
        if (end == std::wstring_view::npos) return names;
        start = end + 1;
    }
}

// What follows a root: at least `needed` names, each a plain one. The system folds doubled
// separators in an ordinary path, so empty names there are skipped; a long path goes to the
// file system as it is, so an empty name in it (other than at the end) refuses it.
bool NamesBelowRoot(std::wstring_view rest, size_t needed, bool skipEmpty) {
    while (!rest.empty() && rest.back() == L'\\') rest.remove_suffix(1);
    size_t count = 0;
    for (std::wstring_view name : Names(rest)) {
        if (name.empty() && skipEmpty) continue;
        if (!IsPlainName(name)) return false;
        ++count;
    }
    return count >= needed;
}

// "server\share\name...": a server name that begins with ";" is a redirector's own prefix, and
// the names after it would be the server and share themselves.
bool BelowShareRoot(std::wstring_view rest, bool skipEmpty) {
    while (skipEmpty && !rest.empty() && rest.front() == L'\\') rest.remove_prefix(1);
    return !rest.empty() && rest.front() != L';' && NamesBelowRoot(rest, 3, skipEmpty);
}

// After "\\?\": only a drive or the UNC form; volume names, GLOBALROOT and every other
// device are refused whatever lies below them.
bool LongFormBelowRoot(std::wstring_view rest) {
    if (StartsWithNoCase(rest, L"UNC\\")) return BelowShareRoot(rest.substr(4), false);
    if (HasDriveRoot(rest)) return NamesBelowRoot(rest.substr(3), 1, false);
    return false;
}

// A device path, also the one the system makes of a reserved name ("C:\Dati\CON").
bool IsDevicePath(std::wstring_view text) {
    if (StartsWithNoCase(text, L"\\??\\")) return true;
    if (text.size() < 3 || text[0] != L'\\' || text[1] != L'\\') return false;
    return (text[2] == L'.' || text[2] == L'?') && (text.size() == 3 || text[3] == L'\\');
}

}  // namespace

bool IsPlainName(std::wstring_view name) {
    if (name.find_first_not_of(L". ") == std::wstring_view::npos) return false;
    return std::none_of(name.begin(), name.end(),
                        [](wchar_t c) { return c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos; });
}

std::wstring AbsolutePathOf(const std::wstring& path) {
    if (path.empty() || path.find(L'\0') != std::wstring::npos) return {};
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return {};
    full.resize(length);
    return full;
}

bool IsAbsoluteBelowRoot(const std::wstring& path) {
    std::wstring text = path;
    std::replace(text.begin(), text.end(), L'/', L'\\');
    if (StartsWithNoCase(text, L"\\\\?\\")) return LongFormBelowRoot(std::wstring_view(text).substr(4));
    if (IsDevicePath(text)) return false;
    const bool share = text.rfind(L"\\\\", 0) == 0;
    if (!share && !HasDriveRoot(text)) return false;
    // ".", "..", trailing dots and blanks and reserved names as the system resolves them.
    const std::wstring full = AbsolutePathOf(text);
    if (full.empty() || IsDevicePath(full)) return false;
    if (full.rfind(L"\\\\", 0) == 0) return BelowShareRoot(std::wstring_view(full).substr(2), true);
    return HasDriveRoot(full) && NamesBelowRoot(std::wstring_view(full).substr(3), 1, true);
}

}  // namespace vt
