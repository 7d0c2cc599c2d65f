#include "win/Text.h"

#include <windows.h>

#include <climits>

namespace vt {

namespace {

std::string Narrow(UINT codePage, std::wstring_view text, DWORD flags, BOOL* usedDefault) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, usedDefault);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, usedDefault);
    return out;
}

std::wstring Widen(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), size);
    return out;
}

}  // namespace

std::string ToAnsi(std::wstring_view text) { return Narrow(CP_ACP, text, 0, nullptr); }

std::wstring FromAnsi(std::string_view bytes) { return Widen(CP_ACP, bytes); }

bool FitsAnsi(std::wstring_view text) {
    // Best-fit mapping would turn "ł" into "l" silently; the round trip catches it.
    BOOL usedDefault = FALSE;
    const std::string bytes = Narrow(CP_ACP, text, WC_NO_BEST_FIT_CHARS, &usedDefault);
    return !usedDefault && FromAnsi(bytes) == text;
}

std::string ToUtf8(std::wstring_view text) { return Narrow(CP_UTF8, text, 0, nullptr); }

std::wstring FromUtf8(std::string_view bytes) { return Widen(CP_UTF8, bytes); }

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ToLower(std::wstring_view text) {
    std::wstring out(text);
    if (!out.empty()) CharLowerBuffW(out.data(), static_cast<DWORD>(out.size()));
    return out;
}

bool ParseInteger(std::wstring_view text, int& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == text.size()) return false;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        n = n * 10 + (text[i] - L'0');
        if (n > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) n = -n;
    if (n > INT_MAX || n < INT_MIN) return false;
    value = static_cast<int>(n);
    return true;
}

}  // namespace vt
