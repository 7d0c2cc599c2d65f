#pragma once
// File helpers shared by the engine, the installation manager and the uninstaller.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vt {

// True for the reparse points that lead somewhere else (junctions, mount points, symbolic
// links) and for those without a tag (how Wine shows a Unix symbolic link). Other reparse
// points (deduplicated files, cloud placeholders) hold their own data.
bool IsLinkReparse(DWORD attributes, DWORD reparseTag);

struct FolderEntry {
    std::wstring name;
    DWORD attributes = 0;
    DWORD reparseTag = 0;  // meaningful only with FILE_ATTRIBUTE_REPARSE_POINT
    ULONGLONG size = 0;
    ULONGLONG lastWrite = 0;  // FILETIME as one number
    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A junction or link to a folder: what it leads to lies outside the tree it stands in.
    bool IsLinkedFolder() const { return IsFolder() && IsLinkReparse(attributes, reparseTag); }
    bool IsLink() const { return IsLinkReparse(attributes, reparseTag); }
};

// True when the file or folder itself (not what it leads to) is a junction or symbolic link,
// and when it cannot be looked at (access denied): such a path is never entered. False when it
// is missing.
bool IsLinkPath(const std::wstring& path);

// The entries a pattern such as "C:\Dati\*" or "C:\Dati\*.log" matches, hidden and system ones
// included, in the file system's order, without "." and ".."; empty when the pattern matches
// nothing, nullopt when the folder cannot be listed (missing, not a folder, access denied) or
// the listing breaks off before its end.
std::optional<std::vector<FolderEntry>> ListMatching(const std::wstring& pattern);
// A listing from its first entry on: `next` gives the following one, or false with the reason
// in GetLastError (as FindNextFileW does). Whole only when the reason is "no more files".
std::optional<std::vector<FolderEntry>> GatherListing(WIN32_FIND_DATAW first,
                                                      const std::function<bool(WIN32_FIND_DATAW&)>& next);

// The whole content of a file; nullopt when it cannot be read or is larger than `limit`.
std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t limit = SIZE_MAX);
// Creates or replaces a file with these bytes; false when any of it could not be written.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// Creates a new file with these bytes, never opening one that is there already; a file it began
// and could not finish is deleted again. False when the name was taken or the writing failed.
bool WriteNewFile(const std::wstring& path, const std::string& bytes);

// "\\?\C:\..." or "\\?\UNC\server\..." for an absolute path, so that paths longer than 260
// characters work like any other; "\Backup" and "D:Backup" are made absolute first from the
// current drive or folder; a relative path stays unchanged. "/", doubled separators, "." and
// ".." are resolved; names keep their trailing dots and blanks ("nota." stays "nota.").
std::wstring LongPath(const std::wstring& path);
// A path the user typed, made full as the system always read typed paths: "D:\Backup." is
// "D:\Backup", "C:\Dati " is "C:\Dati"; a bare "D:" is the root "D:\". Names from a listing
// never go through this. Empty stays empty.
std::wstring TypedPath(const std::wstring& path);

// Which folder a path leads to, whatever its spelling: volume serial and file id (128 bits
// where the system has them, else the 64-bit index with indexHigh 0).
struct FileIdentity {
    ULONGLONG volume = 0;
    ULONGLONG index = 0;
    ULONGLONG indexHigh = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the folder a path leads to (through a link, its target's); nullopt when it
// cannot be opened or the file system gives no index.
std::optional<FileIdentity> FolderIdentity(const std::wstring& path);
// True when two absolute paths name the same place as Windows compares them: case ignored,
// "/" or "\", ".." and a trailing "\" resolved, a short 8.3 name as its long name.
bool SamePath(const std::wstring& a, const std::wstring& b);

// Clears the read-only attribute and deletes; false when missing or not deleted.
bool DeleteFileForced(const std::wstring& path);

// Deletes a folder with everything in it, read-only, hidden and system files included, through
// handles (TreeDeletion.h): sub-folders whose name begins with "." are left alone, and a link
// inside is removed as a link or left, never entered. A folder that is itself a link is removed
// as a link only. True when the folder is missing or everything was removed; false also when it
// cannot be looked at.
bool DeleteTree(const std::wstring& folder);

}  // namespace vt
