#include "win/Platform.h"

#include <windows.h>

namespace vt {

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool StartedElevatedFromSplitToken() {
    if (RunningUnderWine()) return false;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    const bool read = GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) != FALSE;
    CloseHandle(token);
    return read && type == TokenElevationTypeFull;
}

}  // namespace vt
