#include "win/SafeLoading.h"

#include <windows.h>

namespace vt {

bool LoadLibrariesFromSystemOnly() {
    // Windows 7 has it only with a later update: asked for by name.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    return set && set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace vt
