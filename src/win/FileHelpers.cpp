#include "win/FileHelpers.h"

#include <windows.h>

#include <vector>

#include "win/Paths.h"

namespace vt {

bool DeleteTree(const std::wstring& folder) {
    if (!FolderExists(folder)) return true;
    bool ok = true;
    std::vector<std::wstring> subFolders;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name[0] != L'.') subFolders.push_back(path);
                continue;
            }
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            ok = DeleteFileW(path.c_str()) && ok;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    for (const auto& sub : subFolders) ok = DeleteTree(sub) && ok;
    return RemoveDirectoryW(folder.c_str()) && ok;
}

}  // namespace vt
