#include "engine/LinkedCopy.h"

#include "engine/CopyNaming.h"
#include "engine/EngineFiles.h"

namespace vt {

namespace {

std::function<bool(const std::wstring&, const std::wstring&)> g_linkSeam;

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::optional<FileStamp> ReadStamp(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return FileStamp{(ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                     (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime,
                     data.dwFileAttributes};
}

// The source as it is now, asked of the file opened for reading as a copy would open it: a file
// another program holds without sharing must fail as its copy would, not pass for unchanged.
std::optional<FileStamp> ReadOpenedStamp(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool read = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    if (!read) return std::nullopt;
    return FileStamp{(ULONGLONG(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                     (ULONGLONG(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime,
                     info.dwFileAttributes};
}

bool MakeLink(const std::wstring& link, const std::wstring& existing) {
    if (g_linkSeam) return g_linkSeam(link, existing);
    return CreateHardLinkW(link.c_str(), existing.c_str(), nullptr) != FALSE;
}

bool MakeTargetFolder(const std::wstring& target) {
    const size_t cut = target.rfind(L'\\');
    return cut != std::wstring::npos && CreateFolderPath(target.substr(0, cut));
}

bool LinkToPrevious(const FileCopy& file, std::atomic<bool>& linksWork) {
    const std::optional<FileStamp> previous = ReadStamp(file.previous);
    if (!previous) return false;
    // The listing is only a first look: a folder's entry of a file held open and written can be
    // behind the file itself, so the file is asked before its data is trusted.
    if (file.source && !Unchanged(*file.source, *previous)) return false;
    const std::optional<FileStamp> source = ReadOpenedStamp(file.from);
    if (!source || !Unchanged(*source, *previous)) return false;
    if (MakeLink(file.to, file.previous)) return true;
    DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND && MakeTargetFolder(file.to)) {
        if (MakeLink(file.to, file.previous)) return true;
        error = GetLastError();
    }
    if (LinkErrorEndsSharing(error)) linksWork.store(false, std::memory_order_relaxed);
    return false;
}

}  // namespace

void SetLinkSeam(std::function<bool(const std::wstring& link, const std::wstring& existing)> seam) {
    g_linkSeam = std::move(seam);
}

bool Unchanged(const FileStamp& source, const FileStamp& previous) {
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((source.attributes | previous.attributes) & kNotPlain) return false;
    return source.size == previous.size && source.lastWrite == previous.lastWrite &&
           (source.attributes & kKeptAttributes) == (previous.attributes & kKeptAttributes);
}

bool LinkErrorEndsSharing(DWORD error) {
    switch (error) {
        case ERROR_TOO_MANY_LINKS:    // this file has reached the volume's limit
        case ERROR_ALREADY_EXISTS:    // the target is there already (a second run in the same second)
        case ERROR_FILE_EXISTS:
        case ERROR_FILE_NOT_FOUND:    // the previous copy lost the file meanwhile
        case ERROR_PATH_NOT_FOUND:
        case ERROR_ACCESS_DENIED:     // this file's rights
        case ERROR_SHARING_VIOLATION:
            return false;
        default:
            return true;
    }
}

std::wstring PreviousCopyName(const std::vector<FolderEntry>& listed, const std::wstring& copyName,
                              const std::wstring& thisCopy) {
    constexpr DWORD kNotOurs = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    std::wstring newest, newestKey;
    for (const FolderEntry& entry : listed) {
        if (!entry.IsFolder() || entry.IsLink() || (entry.attributes & kNotOurs)) continue;
        if (!IsDatedCopyOf(entry.name, copyName) || _wcsicmp(entry.name.c_str(), thisCopy.c_str()) == 0) continue;
        const std::wstring key = SortKey(entry.name, copyName);
        if (newest.empty() || key > newestKey) {
            newest = entry.name;
            newestKey = key;
        }
    }
    return newest;
}

bool CopyOrLink(const FileCopy& file, std::atomic<bool>& linksWork) {
    // A failure to make it shows in the file's own line.
    if (file.makeFolder) MakeTargetFolder(file.to);
    if (!file.previous.empty() && linksWork.load(std::memory_order_relaxed) && LinkToPrevious(file, linksWork))
        return true;
    return CopyFileOverwrite(file.from, file.to) || (MakeTargetFolder(file.to) && CopyFileOverwrite(file.from, file.to));
}

}  // namespace vt
