#include "win/TreeDeletion.h"

#include <windows.h>
#include <winternl.h>

#include <optional>
#include <vector>

#include "win/FileHelpers.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

bool MarkForDeletion(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

namespace {

constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003A);

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE Release() {
        const HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Close() {
        if (handle_) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

enum class Found { Yes, Missing, Failed };

// One name opened relative to an open folder: the system resolves nothing but that name, and
// a link or junction is opened as itself where the system can do so.
Found OpenRelative(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options,
                   Handle& opened) {
    UNICODE_STRING text;
    text.Buffer = const_cast<PWSTR>(name.c_str());
    text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE handle = nullptr;
    const NTSTATUS result = NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, 0, share, FILE_OPEN,
                                         options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (result == kNameNotFound || result == kPathNotFound) return Found::Missing;
    if (result < 0) return Found::Failed;
    opened = Handle(handle);
    return Found::Yes;
}

// Where the open handle is, from the root of its volume ("\Users\Giulia\AppData").
std::optional<std::wstring> NameOf(HANDLE handle) {
    std::vector<ULONGLONG> buffer((sizeof(FILE_NAME_INFO) + 65536) / sizeof(ULONGLONG) + 1);
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, info, static_cast<DWORD>(buffer.size() * sizeof(ULONGLONG))))
        return std::nullopt;
    return std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
}

struct Facts {
    DWORD attributes = 0;
    DWORD tag = 0;
    ULONGLONG id = 0;
    DWORD links = 0;
    bool IsLink() const { return IsLinkReparse(attributes, tag); }
    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

std::optional<Facts> FactsOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
    Facts facts;
    facts.attributes = info.dwFileAttributes;
    facts.id = (ULONGLONG(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    facts.links = info.nNumberOfLinks;
    if (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        // A reparse point whose tag cannot be read counts as a link.
        if (GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) facts.tag = tag.ReparseTag;
    }
    return facts;
}

// The handle is the entry asked for, where it was asked for, not somewhere a link leads (Wine
// opens what a Unix symbolic link leads to even when asked for the link itself). Wine spells a
// name that ends in a dot or a blank otherwise: for such a name the folder must match.
bool IsAt(HANDLE handle, const std::wstring& folderName, const std::wstring& entryName, std::wstring* name = nullptr) {
    const std::optional<std::wstring> full = NameOf(handle);
    if (!full) return false;
    const std::wstring expected = ExcludeTrailingBackslash(folderName) + L"\\" + entryName;
    bool same = EqualsNoCase(*full, expected);
    if (!same && !entryName.empty() && (entryName.back() == L'.' || entryName.back() == L' ')) {
        const size_t cut = full->find_last_of(L'\\');
        same = cut != std::wstring::npos &&
               EqualsNoCase(ExcludeTrailingBackslash(std::wstring_view(*full).substr(0, cut + 1)),
                            ExcludeTrailingBackslash(folderName));
    }
    if (same && name) *name = *full;
    return same;
}

bool SetAttributes(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO basic{};  // times left as they are
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// The read-only attribute belongs to the data, which other names of the file may share: it is
// cleared for the deletion and put back for the names that stay.
bool DeleteOpenFile(HANDLE file, const Facts& facts, bool clearReadOnly, bool* attributeLost = nullptr) {
    const bool readOnly = (facts.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        if (!clearReadOnly) return false;
        SetAttributes(file, facts.attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    const bool deleted = MarkForDeletion(file);
    if (readOnly && (!deleted || facts.links != 1)) {
        const bool restored = SetAttributes(file, facts.attributes);
        if (!restored && attributeLost) *attributeLost = true;
    }
    return deleted;
}

struct Entry {
    std::wstring name;
    DWORD attributes = 0;
    DWORD tag = 0;
    ULONGLONG id = 0;
    bool IsLink() const { return IsLinkReparse(attributes, tag); }
    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

// What the open folder holds, read through its handle; nullopt when the listing breaks off.
std::optional<std::vector<Entry>> ListOpenFolder(HANDLE folder) {
    std::vector<ULONGLONG> buffer(64 * 1024 / sizeof(ULONGLONG));
    std::vector<Entry> entries;
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!GetFileInformationByHandleEx(folder, request, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(ULONGLONG)))) {
            if (GetLastError() == ERROR_NO_MORE_FILES) return entries;
            return std::nullopt;
        }
        request = FileIdBothDirectoryInfo;
        auto* bytes = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
            Entry entry;
            entry.name.assign(info->FileName, info->FileNameLength / sizeof(wchar_t));
            entry.attributes = info->FileAttributes;
            // With a reparse point the field of the extended attributes' size holds its tag.
            if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) entry.tag = info->EaSize;
            entry.id = static_cast<ULONGLONG>(info->FileId.QuadPart);
            if (entry.name != L"." && entry.name != L"..") entries.push_back(std::move(entry));
            if (info->NextEntryOffset == 0) break;
            bytes += info->NextEntryOffset;
        }
    }
}

class Deleter {
public:
    explicit Deleter(const TreeDeletion& how) : how_(how) {}

    bool Stopped() const { return stopped_; }

    // Everything in the open folder, then the folder itself.
    bool EmptyAndDelete(HANDLE folder, const std::wstring& folderName) {
        const std::optional<std::vector<Entry>> entries = ListOpenFolder(folder);
        if (!entries) return false;
        bool ok = true;
        for (const Entry& entry : *entries) {
            if (entry.IsFolder()) continue;
            ok = (entry.IsLink() ? RemoveLink(folder, folderName, entry) : DeleteOneFile(folder, folderName, entry)) && ok;
            if (stopped_) return false;
        }
        for (const Entry& entry : *entries) {
            if (!entry.IsFolder()) continue;
            bool removed = true;
            if (entry.IsLink()) removed = RemoveLink(folder, folderName, entry);
            else if (entry.name[0] != L'.') removed = DeleteFolder(folder, folderName, entry);
            else continue;  // left alone, and so is the folder that holds it
            if (stopped_) return false;
            if (!removed && how_.stopAtFolderThatStays) return false;
            ok = removed && ok;
        }
        return MarkForDeletion(folder) && ok;
    }

private:
    // The entry opened is the one listed: where it was listed and, where the listing gave one,
    // with the same file id. Anything else was put there after the listing.
    static bool SameAsListed(HANDLE handle, const Facts& facts, const std::wstring& folderName, const Entry& entry,
                             std::wstring* name = nullptr) {
        return IsAt(handle, folderName, entry.name, name) && (entry.id == 0 || facts.id == entry.id);
    }

    bool RemoveLink(HANDLE folder, const std::wstring& folderName, const Entry& entry) {
        Handle link;
        const Found found = OpenRelative(folder, entry.name, DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0, link);
        if (found == Found::Missing) return true;
        if (found == Found::Failed) return false;
        const std::optional<Facts> facts = FactsOf(link.Get());
        // Only the link itself goes: a handle on what it leads to is never marked.
        if (!facts || !(facts->attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !IsAt(link.Get(), folderName, entry.name)) return false;
        return MarkForDeletion(link.Get());
    }

    bool DeleteOneFile(HANDLE folder, const std::wstring& folderName, const Entry& entry) {
        if (how_.beforeFile && !how_.beforeFile()) {
            stopped_ = true;
            return false;
        }
        Handle file;
        const Found found = OpenRelative(folder, entry.name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_NON_DIRECTORY_FILE, file);
        if (found == Found::Missing) return true;
        if (found == Found::Failed) return false;
        const std::optional<Facts> facts = FactsOf(file.Get());
        if (!facts || facts->IsFolder() || !SameAsListed(file.Get(), *facts, folderName, entry)) return false;
        bool attributeLost = false;
        const bool deleted = DeleteOpenFile(file.Get(), *facts, how_.clearReadOnly, &attributeLost);
        if (attributeLost && how_.attributeNotRestored) how_.attributeNotRestored(below_ + entry.name);
        return deleted;
    }

    bool DeleteFolder(HANDLE folder, const std::wstring& folderName, const Entry& entry) {
        Handle sub;
        // No delete sharing: nobody renames or replaces the folder while the deletion is below it.
        const Found found = OpenRelative(folder, entry.name, FILE_LIST_DIRECTORY | DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_DIRECTORY_FILE, sub);
        if (found == Found::Missing) return true;
        if (found == Found::Failed) return false;
        std::wstring subName;
        const std::optional<Facts> facts = FactsOf(sub.Get());
        if (!facts || !facts->IsFolder() || facts->IsLink() || !SameAsListed(sub.Get(), *facts, folderName, entry, &subName))
            return false;
        // A tree deeper than any real one (a planted one) would exhaust the stack: it stays.
        if (depth_ >= kDeepestFolder) return false;
        ++depth_;
        const size_t belowBefore = below_.size();
        below_ += entry.name + L"\\";
        const bool deleted = EmptyAndDelete(sub.Get(), subName);
        below_.resize(belowBefore);
        --depth_;
        return deleted;
    }

    static constexpr int kDeepestFolder = 400;
    const TreeDeletion& how_;
    bool stopped_ = false;
    int depth_ = 0;
    std::wstring below_;  // the folders between the deleted one and the one being emptied
};

// The way down from a trusted folder to the parent of the last name, each folder held open by
// handle and known to be a plain folder in its place.
struct Way {
    Found found = Found::Failed;
    std::vector<Handle> held;
    std::wstring parentName;
    std::wstring last;
    HANDLE Parent() const { return held.back().Get(); }
};

Way WalkBelow(const std::wstring& base, const std::wstring& relative) {
    Way way;
    std::vector<std::wstring> parts;
    for (size_t start = 0; start <= relative.size();) {
        size_t end = relative.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = relative.size();
        const std::wstring part = relative.substr(start, end - start);
        if (part == L"." || part == L"..") return way;
        if (!part.empty()) parts.push_back(part);
        start = end + 1;
    }
    if (parts.empty()) return way;
    std::wstring basePath = ExcludeTrailingBackslash(base);
    // "C:" alone would be the drive's current folder.
    if (basePath.size() == 2 && basePath[1] == L':') basePath += L'\\';
    Handle top(CreateFileW(LongPath(basePath).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!top) {
        const DWORD error = GetLastError();
        way.found = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Found::Missing : Found::Failed;
        return way;
    }
    const std::optional<std::wstring> topName = NameOf(top.Get());
    if (!topName) return way;
    way.parentName = *topName;
    way.held.push_back(std::move(top));
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        Handle folder;
        way.found = OpenRelative(way.Parent(), parts[i], FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_DIRECTORY_FILE, folder);
        if (way.found != Found::Yes) return way;
        std::wstring name;
        const std::optional<Facts> facts = FactsOf(folder.Get());
        if (!facts || facts->IsLink() || !IsAt(folder.Get(), way.parentName, parts[i], &name)) {
            way.found = Found::Failed;
            return way;
        }
        way.parentName = name;
        way.held.push_back(std::move(folder));
    }
    way.last = parts.back();
    way.found = Found::Yes;
    return way;
}

}  // namespace

bool DeleteTreeBelow(const std::wstring& base, const std::wstring& relative, const TreeDeletion& how) {
    Way way = WalkBelow(base, relative);
    if (way.found != Found::Yes) return way.found == Found::Missing;
    Handle target;
    const Found found = OpenRelative(way.Parent(), way.last, FILE_LIST_DIRECTORY | DELETE | FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, 0, target);
    if (found != Found::Yes) return found == Found::Missing;
    std::wstring name;
    const std::optional<Facts> facts = FactsOf(target.Get());
    if (!facts || !IsAt(target.Get(), way.parentName, way.last, &name)) return false;
    // A link given as the folder goes alone, never what it leads to.
    if (facts->IsLink()) return MarkForDeletion(target.Get());
    if (!facts->IsFolder()) return true;
    return Deleter(how).EmptyAndDelete(target.Get(), name);
}

bool RemoveEmptyFolderBelow(const std::wstring& base, const std::wstring& relative) {
    Way way = WalkBelow(base, relative);
    if (way.found != Found::Yes) return false;
    Handle target;
    if (OpenRelative(way.Parent(), way.last, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     0, target) != Found::Yes)
        return false;
    const std::optional<Facts> facts = FactsOf(target.Get());
    if (!facts || !(facts->IsFolder() || facts->IsLink()) || !IsAt(target.Get(), way.parentName, way.last)) return false;
    return MarkForDeletion(target.Get());
}

bool DeleteFileBelow(const std::wstring& base, const std::wstring& relative) {
    Way way = WalkBelow(base, relative);
    if (way.found != Found::Yes) return false;
    Handle target;
    if (OpenRelative(way.Parent(), way.last, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_NON_DIRECTORY_FILE, target) != Found::Yes)
        return false;
    const std::optional<Facts> facts = FactsOf(target.Get());
    if (!facts || facts->IsFolder() || !IsAt(target.Get(), way.parentName, way.last)) return false;
    return DeleteOpenFile(target.Get(), *facts, true);
}

HANDLE OpenFileInFolder(const std::wstring& folder, const std::wstring& name, ACCESS_MASK access, DWORD share,
                        bool* notThere) {
    if (notThere) *notThere = false;
    Way way = WalkBelow(folder, name);
    if (way.found != Found::Yes || way.held.size() != 1) return nullptr;
    Handle file;
    const Found found = OpenRelative(way.Parent(), way.last, access, share, FILE_NON_DIRECTORY_FILE, file);
    if (found != Found::Yes) {
        if (notThere) *notThere = found == Found::Missing;
        return nullptr;
    }
    const std::optional<Facts> facts = FactsOf(file.Get());
    if (!facts || (facts->attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !IsAt(file.Get(), way.parentName, way.last)) {
        if (notThere) *notThere = true;
        return nullptr;
    }
    return file.Release();
}

bool DeleteTree(const std::wstring& folder) {
    const std::wstring path = ExcludeTrailingBackslash(folder);
    return DeleteTreeBelow(FolderOf(path), FileNameOf(path));
}

}  // namespace vt
