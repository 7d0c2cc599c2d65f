#include "win/FileHelpers.h"

#include "win/Paths.h"

namespace vt {

std::optional<std::vector<FolderEntry>> ListMatching(const std::wstring& pattern) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<FolderEntry> entries;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") entries.push_back({name, found.dwFileAttributes});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t limit) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) <= limit) {
        std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                              read == bytes.size()))
            content = std::move(bytes);
    }
    CloseHandle(file);
    return content;
}

bool DeleteTree(const std::wstring& folder) {
    if (!FolderExists(folder)) return true;
    bool ok = true;
    std::vector<std::wstring> subFolders;
    for (const FolderEntry& entry : ListMatching(folder + L"\\*").value_or(std::vector<FolderEntry>{})) {
        const std::wstring path = folder + L"\\" + entry.name;
        if (entry.IsFolder()) {
            // A junction or link goes alone, never what it points to.
            if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) ok = RemoveDirectoryW(path.c_str()) && ok;
            else if (entry.name[0] != L'.') subFolders.push_back(path);
            continue;
        }
        if (entry.attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesW(path.c_str(), entry.attributes & ~FILE_ATTRIBUTE_READONLY);
        ok = DeleteFileW(path.c_str()) && ok;
    }
    for (const auto& sub : subFolders) ok = DeleteTree(sub) && ok;
    return RemoveDirectoryW(folder.c_str()) && ok;
}

}  // namespace vt
