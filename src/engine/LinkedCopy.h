#pragma once
// One file of a local copy: copied, or, when the user shares unchanged files, linked to the same
// file of the previous dated copy. A link is made only to a file that equals the source in size,
// last-write time and attributes, so the earlier copy already holds exactly what would be copied;
// the source's are read from the file opened for reading, so a file that cannot be read is copied
// (and fails as its copy does) instead of linked.
#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win/FileHelpers.h"

namespace vt {

struct FileStamp {
    ULONGLONG size = 0;
    ULONGLONG lastWrite = 0;
    DWORD attributes = 0;
};

struct FileCopy {
    std::wstring from, to;
    std::wstring previous;            // the same place in the previous copy; empty: always copy
    std::optional<FileStamp> source;  // as the source was listed: a first look, the file is asked too
    bool makeFolder = false;          // the first file of its folder: the target folder is made first
};

// True when the previous copy's file holds what a copy of the source would: same size, same
// last-write time, same read-only, hidden and system attributes, and neither is a link.
bool Unchanged(const FileStamp& source, const FileStamp& previous);
// A link that failed with this error: true when no other link of the run can work either (the
// volume or the share has no hard links), false when only this file is concerned.
bool LinkErrorEndsSharing(DWORD error);
// The newest earlier dated copy of copyName among the listed folders, other than thisCopy; a
// hidden, system or linked folder is never taken. Empty when there is none.
std::wstring PreviousCopyName(const std::vector<FolderEntry>& listed, const std::wstring& copyName,
                              const std::wstring& thisCopy);

// Links the file when its previous copy is unchanged and links still work (linksWork goes off
// at the first link that cannot work on this volume), otherwise copies it. A target folder that
// is not there yet (another worker is making it) or was removed meanwhile is made. False when
// the file could be neither linked nor copied.
bool CopyOrLink(const FileCopy& file, std::atomic<bool>& linksWork);

// Tests make links fail through this: called instead of CreateHardLinkW, from the workers.
// An empty function puts the system's call back.
void SetLinkSeam(std::function<bool(const std::wstring& link, const std::wstring& existing)> seam);

}  // namespace vt
