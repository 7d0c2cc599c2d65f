#include "win/FileHelpers.h"

#include <cstring>
#include <string_view>

#include "win/Paths.h"
#include "win/WholeDrive.h"

namespace vt {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The prefix turns off the system's own clean-up of a path, so separators, "." and ".." are
// resolved here first. Names keep their trailing dots and blanks, which the system's own
// clean-up would cut ("nota." would become "nota", another file). The first `fixed` names
// (server and share) cannot be climbed above.
std::wstring CleanPath(std::wstring out, std::wstring_view rest, size_t fixed) {
    std::vector<std::wstring_view> names;
    for (size_t begin = 0; begin <= rest.size();) {
        size_t end = rest.find_first_of(L"\\/", begin);
        if (end == std::wstring_view::npos) end = rest.size();
        const std::wstring_view name = rest.substr(begin, end - begin);
        if (name == L"..") {
            if (names.size() > fixed) names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        begin = end + 1;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) out += L'\\';
        out += names[i];
    }
    if (!names.empty() && !rest.empty() && IsSeparator(rest.back())) out += L'\\';
    return out;
}

bool IsAbsolute(const std::wstring& path) {
    return path.rfind(L"\\\\", 0) == 0 || (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]));
}

// Without trailing separators, except the one of a drive root: "\\?\C:" is the volume device,
// not the root folder.
std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != L':') path.pop_back();
    return path;
}

// Only these say that nothing is there; any other failure says nothing about what is.
bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

}  // namespace

bool IsLinkReparse(DWORD attributes, DWORD reparseTag) {
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    // Tag 0 is no tag at all: Wine shows a Unix symbolic link so. Whatever it is, it is not a
    // file that holds its own data.
    return reparseTag == 0 || reparseTag == IO_REPARSE_TAG_MOUNT_POINT || reparseTag == IO_REPARSE_TAG_SYMLINK;
}

bool IsLinkPath(const std::wstring& path) {
    const std::wstring clean = WithoutTrailingSeparator(LongPath(path));
    const DWORD attributes = GetFileAttributesW(clean.c_str());
    // A path that cannot be looked at (access denied, an unreadable name) may hide a junction:
    // it is answered as a link, which nobody enters or deletes through.
    if (attributes == INVALID_FILE_ATTRIBUTES) return !IsMissing(GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    // The tag comes only with a listing of the entry itself.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(clean.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    // A reparse point whose tag cannot be read is treated as a link: never entered.
    if (search == INVALID_HANDLE_VALUE) return true;
    FindClose(search);
    return IsLinkReparse(found.dwFileAttributes, found.dwReserved0);
}

std::wstring LongPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return CleanPath(L"\\\\?\\UNC\\", std::wstring_view(path).substr(2), 2);
    if (IsAbsolute(path)) return CleanPath(L"\\\\?\\" + path.substr(0, 2) + L"\\", std::wstring_view(path).substr(3), 0);
    // "\Backup" and "D:Backup" lean on the current drive or on that drive's current folder. Only
    // that part is asked of the system, which would also cut the names' trailing dots and blanks.
    const bool rootRelative = !path.empty() && IsSeparator(path[0]) && (path.size() == 1 || !IsSeparator(path[1]));
    const bool driveRelative = path.size() >= 2 && path[1] == L':' && !rootRelative;
    if (!rootRelative && !driveRelative) return path;
    // Asked as "\", which Wine would take for its own Unix root when written "/".
    const std::wstring base = AbsolutePathOf(rootRelative ? std::wstring(L"\\") : path.substr(0, 2));
    if (!IsAbsolute(base)) return path;
    return LongPath(base + L"\\" + path.substr(rootRelative ? 1 : 2));
}

std::wstring TypedPath(const std::wstring& path) {
    if (path.empty()) return path;
    // A bare drive has always meant its root here, not the drive's current folder.
    if (path.size() == 2 && path[1] == L':') return path + L"\\";
    const std::wstring full = AbsolutePathOf(path);
    return full.empty() ? path : full;
}

std::optional<std::vector<FolderEntry>> GatherListing(WIN32_FIND_DATAW found,
                                                      const std::function<bool(WIN32_FIND_DATAW&)>& next) {
    std::vector<FolderEntry> entries;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({name, found.dwFileAttributes, found.dwReserved0,
                           (ULONGLONG(found.nFileSizeHigh) << 32) | found.nFileSizeLow,
                           (ULONGLONG(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime});
    } while (next(found));
    // Anything but the end of the folder (a network drop, a folder removed meanwhile) leaves a
    // part that must not pass for the whole folder.
    if (GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
    return entries;
}

std::optional<std::vector<FolderEntry>> ListMatching(const std::wstring& pattern) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    // A pattern that matches nothing in a folder that can be read (a drive root holds no "."):
    // an empty list, not a failure.
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(std::vector<FolderEntry>{}) : std::nullopt;
    auto entries = GatherListing(found, [search](WIN32_FIND_DATAW& next) { return FindNextFileW(search, &next) != FALSE; });
    FindClose(search);
    return entries;
}

std::optional<FileIdentity> FolderIdentity(const std::wstring& path) {
    // Opened as a folder and through any link, so a link and its target give one identity.
    HANDLE folder = CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return std::nullopt;
    FileIdentity identity;
    // The 128-bit id (Windows 8 and later) is unique also where the 64-bit index is not (ReFS);
    // Windows 7 has only the index. The class and its layout, absent from the Windows 7 headers:
    constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
    struct {
        ULONGLONG volume;
        BYTE id[16];
    } idInfo{};
    bool read = false;
    if (GetFileInformationByHandleEx(folder, kFileIdInfo, &idInfo, sizeof idInfo)) {
        read = true;
        identity.volume = idInfo.volume;
        std::memcpy(&identity.index, idInfo.id, sizeof identity.index);
        std::memcpy(&identity.indexHigh, idInfo.id + sizeof identity.index, sizeof identity.indexHigh);
    } else if (BY_HANDLE_FILE_INFORMATION info{}; GetFileInformationByHandle(folder, &info)) {
        read = true;
        identity.volume = info.dwVolumeSerialNumber;
        identity.index = (ULONGLONG(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    CloseHandle(folder);
    // Some network file systems give every file the index 0: that identifies nothing.
    if (!read || (identity.index == 0 && identity.indexHigh == 0)) return std::nullopt;
    return identity;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    auto comparable = [](const std::wstring& path) {
        const std::wstring clean = WithoutTrailingSeparator(LongPath(path));
        // A short 8.3 name and its long name are one folder; only an existing path has both.
        // Asked without the prefix, which Wine's lookup leaves unexpanded.
        std::wstring plain = clean;
        if (plain.rfind(L"\\\\?\\UNC\\", 0) == 0) plain = L"\\" + plain.substr(7);
        else if (plain.rfind(L"\\\\?\\", 0) == 0) plain = plain.substr(4);
        std::wstring full(MAX_PATH, L'\0');
        const DWORD length = GetLongPathNameW(plain.c_str(), full.data(), MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return clean;
        full.resize(length);
        return LongPath(full);
    };
    const std::wstring left = comparable(a), right = comparable(b);
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
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

bool WriteNewFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    if (!ok) {
        // Through the handle: the name may belong to somebody else a moment after it is closed.
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    }
    return CloseHandle(file) && ok;
}

bool DeleteFileForced(const std::wstring& path) {
    const std::wstring longPath = LongPath(path);
    const DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(longPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(longPath.c_str()) != FALSE;
}

}  // namespace vt
