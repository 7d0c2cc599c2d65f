#include "about/MemoryLines.h"

#include <cmath>
#include <cwchar>

namespace vt {

namespace {

std::wstring LocaleText(LCID locale, LCTYPE type, const wchar_t* fallback) {
    wchar_t text[16] = {};
    if (GetLocaleInfoW(locale, type, text, 16) <= 0) return fallback;
    return text;
}

// "3;0" -> 3, "3;2;0" -> 32: the form NUMBERFMTW wants.
UINT GroupingOf(const std::wstring& pattern) {
    UINT grouping = 0;
    bool repeat = false;
    for (wchar_t c : pattern) {
        if (c >= L'0' && c <= L'9') {
            repeat = c == L'0';
            if (!repeat) grouping = grouping * 10 + static_cast<UINT>(c - L'0');
        }
    }
    // A pattern without a closing ";0" does not repeat its last group.
    return repeat || grouping == 0 ? grouping : grouping * 10;
}

}  // namespace

std::wstring FormatGrouped(double value, LCID locale) {
    wchar_t digits[32];
    swprintf(digits, 32, L"%.0f", std::round(value));
    std::wstring thousand = LocaleText(locale, LOCALE_STHOUSAND, L",");
    std::wstring decimal = LocaleText(locale, LOCALE_SDECIMAL, L".");
    NUMBERFMTW format{};
    format.NumDigits = 0;
    format.LeadingZero = 1;
    format.Grouping = GroupingOf(LocaleText(locale, LOCALE_SGROUPING, L"3;0"));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    format.NegativeOrder = 1;
    wchar_t out[64];
    if (GetNumberFormatW(locale, 0, digits, &format, out, 64) <= 0) return digits;
    return out;
}

std::wstring TotalMemoryLine(std::uint64_t totalBytes, LCID locale) {
    return L"Memoria fisica disponibile " + FormatGrouped(static_cast<double>(totalBytes) / 1024.0, locale) +
           L" Kb";
}

std::wstring UsedMemoryLine(std::uint64_t totalBytes, unsigned loadPercent, LCID locale) {
    const double used = static_cast<double>(totalBytes) / 100.0 * loadPercent;
    return L"Memoria in uso " + std::to_wstring(loadPercent) + L"% (" + FormatGrouped(used / 1024.0, locale) +
           L" Kb)";
}

MemoryStatus ReadMemoryStatus() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return {};
    return {status.ullTotalPhys, static_cast<unsigned>(status.dwMemoryLoad)};
}

}  // namespace vt
