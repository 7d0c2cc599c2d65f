#pragma once
// The file operations of a run. Paths go to the system with the long-path prefix, so trees
// deeper than 260 characters are copied and removed like any other.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win/FileHelpers.h"

namespace vt {

// True when the drive answers a query of its size; never shows a "no disk" box.
bool DriveReady(wchar_t letter);
// Entries in the file system's order without "." and ".."; nullopt when it cannot be listed.
std::optional<std::vector<FolderEntry>> ListFolder(const std::wstring& folder);
// Called with the folder before each listing: tests make a folder vanish between the moment
// a run sees it and the moment it lists it. An empty function ends it.
void SetListingSeam(std::function<void(const std::wstring& folder)> seam);
bool CreateFolderPath(const std::wstring& folder);
// Copies contents, attributes and times, replacing the target. A target whose data another
// copy shares (a hard link) is replaced by a new file, never written into.
bool CopyFileOverwrite(const std::wstring& from, const std::wstring& to);
// Deletes one file of a copy, read-only ones too; what other copies share with it (data and
// attributes) stays as it is. False when missing or not deleted. attributeLost, when given, is
// set when the read-only attribute, cleared for the deletion, could not be put back for the
// names that stay.
bool DeleteCopiedFile(const std::wstring& path, bool* attributeLost = nullptr);
bool RemoveEmptyFolder(const std::wstring& folder);

}  // namespace vt
