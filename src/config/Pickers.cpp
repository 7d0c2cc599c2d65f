#include "config/Pickers.h"

#include <commdlg.h>
#include <shlobj.h>

#include "win/Paths.h"

namespace vt {

namespace {

FolderPickerSeam& FolderSeam() {
    static FolderPickerSeam seam;
    return seam;
}

FileDialogSeam& FileSeam() {
    static FileDialogSeam seam;
    return seam;
}

int CALLBACK BrowseCallback(HWND window, UINT msg, LPARAM lParam, LPARAM data) {
    if (msg == BFFM_INITIALIZED) {
        const auto* start = reinterpret_cast<const std::wstring*>(data);
        if (!start->empty()) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->c_str()));
    } else if (msg == BFFM_SELCHANGED) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path))
            SendMessageW(window, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
    }
    return 0;
}

std::optional<std::wstring> PlatformPickFolder(const FolderPickRequest& request) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring start = request.startFolder;
    BROWSEINFOW info{};
    info.hwndOwner = request.owner;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&start);
    std::optional<std::wstring> chosen;
    if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(list, path)) chosen = path;
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

FileDialogResult PlatformPickFiles(const FileDialogRequest& request) {
    std::wstring filter = request.filter;
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    // Room for a few thousand chosen files.
    std::vector<wchar_t> buffer(65536, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    dialog.lpstrTitle = request.title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                   (request.multiSelect ? OFN_ALLOWMULTISELECT : 0);
    FileDialogResult result;
    if (GetOpenFileNameW(&dialog)) {
        result.status = FileDialogResult::Chosen;
        result.files = request.multiSelect ? SplitMultiSelect(buffer.data())
                                           : std::vector<std::wstring>{buffer.data()};
    } else if (CommDlgExtendedError() != 0) {
        result.status = FileDialogResult::Failed;
    }
    return result;
}

}  // namespace

void SetFolderPickerSeam(FolderPickerSeam seam) { FolderSeam() = std::move(seam); }

std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& startFolder) {
    const FolderPickRequest request{owner, startFolder};
    return FolderSeam() ? FolderSeam()(request) : PlatformPickFolder(request);
}

void SetFileDialogSeam(FileDialogSeam seam) { FileSeam() = std::move(seam); }

FileDialogResult PickFiles(const FileDialogRequest& request) {
    return FileSeam() ? FileSeam()(request) : PlatformPickFiles(request);
}

std::vector<std::wstring> SplitMultiSelect(const wchar_t* buffer) {
    std::vector<std::wstring> parts;
    for (const wchar_t* p = buffer; *p; p += parts.back().size() + 1) parts.emplace_back(p);
    if (parts.size() <= 1) return parts;
    std::vector<std::wstring> files;
    for (size_t i = 1; i < parts.size(); ++i) files.push_back(IncludeTrailingBackslash(parts[0]) + parts[i]);
    return files;
}

}  // namespace vt
