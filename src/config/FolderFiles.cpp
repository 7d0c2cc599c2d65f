#include "config/FolderFiles.h"

#include <windows.h>

#include <algorithm>

#include "win/FileHelpers.h"
#include "win/Paths.h"

namespace vt {

std::vector<std::wstring> OrdinaryFilesOf(const std::wstring& folder) {
    std::vector<std::wstring> names;
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const auto entries = ListMatching(IncludeTrailingBackslash(folder) + L"*.*");
    if (!entries) return names;
    for (const FolderEntry& entry : *entries)
        if ((entry.attributes & kSkipped) == 0) names.push_back(entry.name);
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
    return names;
}

std::vector<std::wstring> JoinFolderEntries(const std::wstring& folder, const std::vector<std::wstring>& names) {
    const std::wstring prefix = IncludeTrailingBackslash(folder);
    std::vector<std::wstring> entries;
    entries.reserve(names.size());
    for (const std::wstring& name : names) entries.push_back(prefix + name);
    return entries;
}

}  // namespace vt
