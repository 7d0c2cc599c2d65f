#include "win/Clock.h"

#include <cwchar>

namespace vt {

namespace {

std::function<SYSTEMTIME()> g_seam;

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
    wchar_t text[16] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 16) > 1 ? std::wstring(text) : std::wstring(fallback);
}

}  // namespace

SYSTEMTIME LocalNow() {
    if (g_seam) return g_seam();
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

void SetClockSeam(std::function<SYSTEMTIME()> seam) { g_seam = std::move(seam); }

std::wstring TimeSeparator() { return LocaleText(LOCALE_STIME, L":"); }

std::wstring DateSeparator() { return LocaleText(LOCALE_SDATE, L"/"); }

std::wstring TwoDigits(unsigned value) {
    wchar_t text[8];
    std::swprintf(text, 8, L"%02u", value % 100);
    return text;
}

std::wstring ClockText(const SYSTEMTIME& time, const std::wstring& separator) {
    return TwoDigits(time.wHour) + separator + TwoDigits(time.wMinute);
}

}  // namespace vt
