#pragma once
// The platform's folder picker and file-open dialog, each behind a seam that tests script.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vt {

struct FolderPickRequest {
    HWND owner = nullptr;
    std::wstring startFolder;
};
// The chosen folder, or nothing when the user cancelled.
using FolderPickerSeam = std::function<std::optional<std::wstring>(const FolderPickRequest&)>;
void SetFolderPickerSeam(FolderPickerSeam seam);
std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& startFolder);

struct FileDialogRequest {
    HWND owner = nullptr;
    std::wstring title;
    // "Name|pattern|Name|pattern", as the forms describe it.
    std::wstring filter;
    std::wstring initialFolder;
    bool multiSelect = false;
};
struct FileDialogResult {
    enum Status { Cancelled, Chosen, Failed } status = Cancelled;
    // Full paths, in the order the dialog gives them.
    std::vector<std::wstring> files;
};
using FileDialogSeam = std::function<FileDialogResult(const FileDialogRequest&)>;
void SetFileDialogSeam(FileDialogSeam seam);
FileDialogResult PickFiles(const FileDialogRequest& request);

// The multi-select answer of the file dialog: a folder followed by names, or one full path.
std::vector<std::wstring> SplitMultiSelect(const wchar_t* buffer);

}  // namespace vt
