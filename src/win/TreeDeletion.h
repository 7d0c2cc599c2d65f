#pragma once
// The one way the programs delete folders and what they hold: through handles, never through a
// path that somebody else could change between two steps. Each folder is opened relative to its
// parent's open handle without following links, held open without delete sharing while the
// deletion works below it, and each entry is deleted through its own handle once it is known to
// be the entry the listing showed: the same file id, the same place, not a link leading
// elsewhere. A link is removed as the link itself, or left in place where that cannot be done;
// what it leads to is never touched.
#include <windows.h>

#include <functional>
#include <string>

namespace vt {

struct TreeDeletion {
    // Read-only files have the attribute cleared first; without it they stay and count as failures.
    bool clearReadOnly = true;
    // Called before each file; false stops the deletion, which then answers false.
    std::function<bool()> beforeFile;
    // A sub-folder that stays ends the work in its folder at once.
    bool stopAtFolderThatStays = false;
    // Called with the path below the deleted folder ("Sotto\\nota.txt") of a removed name whose
    // file lives on under other names and could not get its read-only attribute back.
    std::function<void(const std::wstring& below)> attributeNotRestored;
};

// Deletes base + "\" + relative with everything in it. `base` is a folder the caller trusts and is
// opened as the system finds it; every part of `relative` ("Dorvi\Vaultick") is opened by handle
// and must be a plain folder, never a link. Sub-folders whose names begin with "." are left alone.
// True when nothing is there or everything went; false when anything stayed or could not be
// looked at, and when a part of the way is a link.
bool DeleteTreeBelow(const std::wstring& base, const std::wstring& relative, const TreeDeletion& how = {});
// Removes base + "\" + relative when it is an empty folder or a link (the link alone).
bool RemoveEmptyFolderBelow(const std::wstring& base, const std::wstring& relative);
// Deletes the file base + "\" + relative, read-only ones too; false when missing or kept.
bool DeleteFileBelow(const std::wstring& base, const std::wstring& relative);
// Opens the file `name` that lies in `folder` itself, not a link and not reached through one;
// nullptr when it is missing, elsewhere or cannot be opened, and then notThere tells the first
// two from the last. The caller closes the handle.
HANDLE OpenFileInFolder(const std::wstring& folder, const std::wstring& name, ACCESS_MASK access, DWORD share,
                        bool* notThere = nullptr);
// Marks an open file (opened with DELETE access) to go when its last handle closes.
bool MarkForDeletion(HANDLE handle);

}  // namespace vt
