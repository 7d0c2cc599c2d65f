#include "engine/EngineFiles.h"

#include "win/Paths.h"
#include "win/TreeDeletion.h"

namespace vt {

namespace {
std::function<void(const std::wstring&)> g_listingSeam;
}  // namespace

void SetListingSeam(std::function<void(const std::wstring& folder)> seam) { g_listingSeam = std::move(seam); }

bool DriveReady(wchar_t letter) {
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    ULARGE_INTEGER total{};
    const bool ready = GetDiskFreeSpaceExW(root, nullptr, &total, nullptr) != FALSE;
    SetErrorMode(previous);
    return ready;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::wstring& folder) {
    if (g_listingSeam) g_listingSeam(folder);
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

namespace {

// How many names the file has; 0 when it cannot be asked.
DWORD LinkCount(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(file, &info) ? info.nNumberOfLinks : 0;
}

DWORD LinkCount(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    const DWORD links = LinkCount(file);
    CloseHandle(file);
    return links;
}

}  // namespace

bool CopyFileOverwrite(const std::wstring& from, const std::wstring& to) {
    if (from.empty() || to.empty()) return false;
    const std::wstring source = LongPath(from), target = LongPath(to);
    // Nearly every target is new; only an existing one costs the questions below.
    if (CopyFileW(source.c_str(), target.c_str(), TRUE)) return true;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    // Writing into a linked target would change the earlier copy that shares its data; a target
    // whose names cannot be counted is taken for a shared one.
    if (LinkCount(target) != 1)
        return DeleteCopiedFile(target) && CopyFileW(source.c_str(), target.c_str(), TRUE) != FALSE;
    return CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE;
}

bool DeleteCopiedFile(const std::wstring& path, bool* attributeLost) {
    const std::wstring file = LongPath(path);
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & FILE_ATTRIBUTE_READONLY)) return DeleteFileW(file.c_str()) != FALSE;
    // The read-only attribute belongs to the data, which a later copy may share: it is cleared
    // for the deletion and put back for the names that stay.
    SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    const HANDLE handle =
        CreateFileW(file.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (!SetFileAttributesW(file.c_str(), attributes) && attributeLost) *attributeLost = true;
        return false;
    }
    const bool shared = LinkCount(handle) != 1;
    FILE_DISPOSITION_INFO disposition{TRUE};
    const bool deleted = SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
    if (shared || !deleted) {
        FILE_BASIC_INFO basic{};  // times left as they are
        basic.FileAttributes = attributes;
        if (!SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) && attributeLost) *attributeLost = true;
    }
    CloseHandle(handle);
    return deleted;
}

bool RemoveEmptyFolder(const std::wstring& folder) {
    // Through a handle: a link is removed as itself, never what it leads to.
    const std::wstring path = ExcludeTrailingBackslash(folder);
    return RemoveEmptyFolderBelow(FolderOf(path), FileNameOf(path));
}

}  // namespace vt
