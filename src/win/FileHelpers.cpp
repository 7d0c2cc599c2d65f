#include "win/FileHelpers.h"

#include "win/Paths.h"

namespace vt {

namespace {

// The prefix turns off the system's own clean-up of a path, so doubled backslashes (a source
// or destination typed with a trailing backslash, a drive root), "." and ".." go first.
std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    // Wine leaves doubled backslashes in share paths.
    std::wstring out = full.substr(0, 2);
    for (size_t i = 2; i < full.size(); ++i)
        if (full[i] != L'\\' || out.back() != L'\\') out += full[i];
    return out;
}

}  // namespace

bool IsLinkReparse(DWORD attributes, DWORD reparseTag) {
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return reparseTag == IO_REPARSE_TAG_MOUNT_POINT || reparseTag == IO_REPARSE_TAG_SYMLINK;
}

bool IsLinkPath(const std::wstring& path) {
    std::wstring clean = LongPath(path);
    while (clean.size() > 1 && (clean.back() == L'\\' || clean.back() == L'/')) clean.pop_back();
    const DWORD attributes = GetFileAttributesW(clean.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    // The tag comes only with a listing of the entry itself.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(clean.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    // A reparse point whose tag cannot be read is treated as a link: never entered.
    if (search == INVALID_HANDLE_VALUE) return true;
    FindClose(search);
    return IsLinkReparse(found.dwFileAttributes, found.dwReserved0);
}

std::wstring LongPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + FullPath(path).substr(2);
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) return L"\\\\?\\" + FullPath(path);
    return path;
}

std::optional<std::vector<FolderEntry>> ListMatching(const std::wstring& pattern) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<FolderEntry> entries;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") entries.push_back({name, found.dwFileAttributes, found.dwReserved0});
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

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}

bool DeleteFileForced(const std::wstring& path) {
    const std::wstring longPath = LongPath(path);
    const DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(longPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(longPath.c_str()) != FALSE;
}

bool DeleteTree(const std::wstring& folder) {
    if (!FolderExists(folder)) return true;
    // A link given as the top folder goes alone, never what it leads to.
    if (IsLinkPath(folder)) return RemoveDirectoryW(LongPath(folder).c_str()) != FALSE;
    bool ok = true;
    std::vector<std::wstring> subFolders;
    for (const FolderEntry& entry : ListMatching(folder + L"\\*").value_or(std::vector<FolderEntry>{})) {
        const std::wstring path = folder + L"\\" + entry.name;
        if (entry.IsFolder()) {
            // A junction or link goes alone, never what it points to.
            if (entry.IsLinkedFolder()) ok = RemoveDirectoryW(path.c_str()) && ok;
            else if (entry.name[0] != L'.') subFolders.push_back(path);
            continue;
        }
        ok = DeleteFileForced(path) && ok;
    }
    for (const auto& sub : subFolders) ok = DeleteTree(sub) && ok;
    return RemoveDirectoryW(folder.c_str()) && ok;
}

}  // namespace vt
