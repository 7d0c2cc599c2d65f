#pragma once
// Where a removal hands over to the uninstaller: a folder made new for this removal alone, that
// no program running with less than the removal's rights can write, holding the copy of the
// uninstaller and its log.
#include <windows.h>

#include <string>

namespace vt {

struct RemovalFolderPlan {
    std::wstring parent;      // where the new folder is made
    std::wstring accessList;  // the folder's security descriptor in the system's text form
};

// An elevated removal works under the Windows temporary folder, in a folder that administrators
// and the system alone can use; a per-user one under the user's temporary folder, in a folder
// for that user alone.
RemovalFolderPlan PlanRemovalFolder(bool elevated, const std::wstring& windowsTemp, const std::wstring& userTemp,
                                    const std::wstring& userSid);
RemovalFolderPlan SystemRemovalFolderPlan();
// The administrators group is enabled in the program's token: it runs elevated (or without the
// split of an administrator's rights).
bool RunsElevated();

// A new folder under plan.parent with a fresh unique name and the plan's access list; never one
// that was there already. Empty when it cannot be made.
std::wstring CreateRemovalFolder(const RemovalFolderPlan& plan);

// The uninstaller copied into the removal's folder, its process made but held before its first
// instruction: the removal deletes nothing until it is sure the uninstaller will run. Not
// released, the process is ended.
class HeldUninstaller {
public:
    HeldUninstaller() = default;
    ~HeldUninstaller();
    HeldUninstaller(const HeldUninstaller&) = delete;
    HeldUninstaller& operator=(const HeldUninstaller&) = delete;

    // Copies programFolder\Sweepex.exe into folder, never over a file there, and makes its
    // process by full path with `arguments` and folder as working folder. False when any of it failed.
    bool Prepare(const std::wstring& programFolder, const std::wstring& folder, const std::wstring& arguments);
    // Lets the uninstaller run.
    void Release();

private:
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
};

}  // namespace vt
