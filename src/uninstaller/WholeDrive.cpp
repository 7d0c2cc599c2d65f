#include "uninstaller/WholeDrive.h"

#include <windows.h>

#include "win/Paths.h"

namespace vt::sweepex {

namespace {

bool IsRoot(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    for (const wchar_t* prefix : {L"\\\\?\\UNC\\", L"\\\\?\\", L"\\\\.\\"}) {
        const std::wstring p(prefix);
        if (path.rfind(p, 0) == 0) {
            const std::wstring rest = path.substr(p.size());
            return p == L"\\\\?\\UNC\\" ? IsRoot(L"\\\\" + rest) : IsRoot(rest);
        }
    }
    if (path.empty()) return true;
    if (path.size() == 2 && path[1] == L':') return true;
    if (path.rfind(L"\\\\", 0) == 0) {
        // "\\server\share": at most two names after the leading pair.
        int names = 0;
        bool inName = false;
        for (size_t i = 2; i < path.size(); ++i) {
            const bool separator = path[i] == L'\\';
            if (!separator && !inName) ++names;
            inName = !separator;
        }
        return names <= 2;
    }
    return false;
}

}  // namespace

bool NamesWholeDrive(const std::wstring& folder) {
    const std::wstring withSlash = IncludeTrailingBackslash(folder);
    const DWORD size = GetFullPathNameW(withSlash.c_str(), 0, nullptr, nullptr);
    if (size == 0) return true;
    std::wstring full(size, L'\0');
    const DWORD n = GetFullPathNameW(withSlash.c_str(), size, full.data(), nullptr);
    if (n == 0 || n >= size) return true;
    full.resize(n);
    return IsRoot(full);
}

}  // namespace vt::sweepex
