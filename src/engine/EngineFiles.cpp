#include "engine/EngineFiles.h"

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

std::wstring LongPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + FullPath(path).substr(2);
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) return L"\\\\?\\" + FullPath(path);
    return path;
}

bool DriveReady(wchar_t letter) {
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    ULARGE_INTEGER total{};
    const bool ready = GetDiskFreeSpaceExW(root, nullptr, &total, nullptr) != FALSE;
    SetErrorMode(previous);
    return ready;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::wstring& folder) {
    std::wstring pattern = LongPath(folder);
    if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
    return ListMatching(pattern + L'*');
}

bool CreateFolderPath(const std::wstring& folder) {
    std::wstring path = LongPath(folder);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const size_t cut = path.rfind(L'\\');
    // Stop above the root of the drive or share, which cannot be created.
    if (cut != std::wstring::npos && cut > 7) CreateFolderPath(path.substr(0, cut));
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool CopyFileOverwrite(const std::wstring& from, const std::wstring& to) {
    if (from.empty() || to.empty()) return false;
    return CopyFileW(LongPath(from).c_str(), LongPath(to).c_str(), FALSE) != FALSE;
}

bool DeleteFileForced(const std::wstring& path) {
    const std::wstring longPath = LongPath(path);
    const DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(longPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(longPath.c_str()) != FALSE;
}

bool RemoveEmptyFolder(const std::wstring& folder) {
    std::wstring path = LongPath(folder);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return RemoveDirectoryW(path.c_str()) != FALSE;
}

}  // namespace vt
