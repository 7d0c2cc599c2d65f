#include "config/SetupWindow.h"

#include "config/JobSetupWindow.h"
#include "settings/FileListFile.h"
#include "win/Paths.h"

namespace vt {

void OpenSetupWindow(HWND owner, int page) {
    JobSetupWindow form(page, DataFolder(), ExcludeTrailingBackslash(FolderOf(ModuleFileName())));
    form.ShowModal(owner);
}

}  // namespace vt
