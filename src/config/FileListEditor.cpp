#include "config/FileListEditor.h"

#include <stdexcept>

#include "config/ConfigIds.h"
#include "config/FolderFiles.h"
#include "config/Pickers.h"
#include "settings/JobNames.h"
#include "settings/ProgramValues.h"
#include "win/Help.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"

namespace vt {

namespace {

struct MenuItem {
    UINT id;
    const wchar_t* text;
    const wchar_t* hint;
};

constexpr MenuItem kMenu[] = {
    {IDM_FILES_ADD_FILES, L"Aggiungi &file...", L" Aggiunge uno o più file alla lista"},
    {IDM_FILES_ADD_FOLDER, L"Aggiungi &cartella...", L" Aggiunge l'intero contenuto di una cartella"},
    {0, nullptr, nullptr},
    {IDM_FILES_REMOVE_SELECTED, L"Rimuovi &selezione", L" Rimuove il file selezionato"},
    {IDM_FILES_REMOVE_ALL, L"Rimuovi &tutto", L" Cancella l'intera lista"},
};

}  // namespace

FileListEditor::FileListEditor(std::vector<std::wstring>& files, std::wstring programFolder)
    : Form(IDD_FILE_LIST), files_(files), programFolder_(std::move(programFolder)) {
    SetHelp(L"SelezionaFile", 80);
}

FileListEditor::~FileListEditor() {
    if (ListMenu) DestroyMenu(ListMenu);
}

void FileListEditor::OnCreate() {
    const HWND h = Handle();
    ListLabel.Attach(h, IDT_FILES_LABEL);
    FileList.Attach(h, IDL_FILES_LIST);
    AddFileButton.Attach(h, IDB_FILES_ADD_FILE);
    SaveButton.Attach(h, IDB_FILES_SAVE);
    CancelButton.Attach(h, IDB_FILES_CANCEL);
    HelpButton.Attach(h, IDB_FILES_HELP);
    HintPanel.Attach(h, IDT_FILES_HINT);
    SetHint(FileList.Handle(), L" Lista dei file (tastino destro per menù)");
    SetHint(AddFileButton.Handle(), L" Aggiunge uno o più file alla lista");
    SetHint(SaveButton.Handle(), L" Salva la lista ed esce");
    SetHint(CancelButton.Handle(), L" Chiude senza salvare");
    SetHint(HelpButton.Handle(), L"Mostra l'help per questa finestra");
    CreateListMenu();

    const AddFolders folders = ReadAddFolders(programFolder_);
    addFileFolder_ = folders.files;
    addFolderFolder_ = folders.folder;

    for (const std::wstring& file : files_) Append(file);
    if (FileList.Count() > 0) FileList.SetItemIndex(0);
    HintPanel.SetText(L"");
}

void FileListEditor::CreateListMenu() {
    ListMenu = CreatePopupMenu();
    for (const MenuItem& item : kMenu) {
        if (item.id == 0) AppendMenuW(ListMenu, MF_SEPARATOR, 0, nullptr);
        else AppendMenuW(ListMenu, MF_STRING, item.id, item.text);
    }
}

void FileListEditor::ShowListMenu(LPARAM where) {
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (where == static_cast<LPARAM>(-1)) {
        // From the keyboard: under the selected entry, or at the list's corner.
        RECT item{};
        const int index = FileList.ItemIndex();
        if (index < 0 || SendMessageW(FileList.Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            item = RECT{};
        at = {item.left + 8, item.bottom};
        ClientToScreen(FileList.Handle(), &at);
    }
    TrackPopupMenu(ListMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
    HintPanel.SetText(L"");
}

void FileListEditor::OnMenuSelect(UINT item, UINT flags) {
    if (flags == 0xFFFF) return;
    for (const MenuItem& entry : kMenu)
        if (entry.id != 0 && entry.id == item && !(flags & MF_POPUP)) {
            HintPanel.SetText(entry.hint);
            return;
        }
    HintPanel.SetText(L"");
}

void FileListEditor::Append(const std::wstring& entry) {
    const LRESULT index = SendMessageW(FileList.Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE) throw std::runtime_error("list box full");
    // Long paths can be scrolled to.
    HDC dc = GetDC(FileList.Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(FileList.Handle(), WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, entry.c_str(), static_cast<int>(entry.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(FileList.Handle(), dc);
    if (size.cx + 8 > widest_) {
        widest_ = size.cx + 8;
        SendMessageW(FileList.Handle(), LB_SETHORIZONTALEXTENT, widest_, 0);
    }
}

void FileListEditor::AddFiles() {
    FileDialogRequest request;
    request.owner = Handle();
    request.title = L"Selezionare uno o più file";
    request.filter = L"Tutt i file|*.*";
    request.initialFolder = addFileFolder_;
    request.multiSelect = true;
    const FileDialogResult result = PickFiles(request);
    try {
        if (result.status == FileDialogResult::Failed) throw std::runtime_error("file dialog");
        if (result.status != FileDialogResult::Chosen || result.files.empty()) return;
        addFileFolder_ = IncludeTrailingBackslash(FolderOf(result.files.front()));
        for (const std::wstring& file : result.files) Append(file);
    } catch (const std::exception&) {
        ShowMessage(L"Problemi nella lettura", kNotifyError);
    }
}

void FileListEditor::AddFolder() {
    const auto chosen = PickFolder(Handle(), addFolderFolder_);
    if (!chosen) return;
    addFolderFolder_ = *chosen;
    const std::vector<std::wstring> names = OrdinaryFilesOf(*chosen);
    if (names.empty()) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    try {
        for (const std::wstring& entry : JoinFolderEntries(*chosen, names)) Append(entry);
    } catch (const std::exception&) {
        ShowMessage(L"Problemi nella lettura", kNotifyError);
    }
}

void FileListEditor::RemoveSelection() {
    const int index = FileList.ItemIndex();
    if (index < 0) return;
    FileList.Delete(index);
    // Nothing is selected afterwards, so a repeated command cannot remove a second entry.
    FileList.SetItemIndex(-1);
}

void FileListEditor::RemoveAll() {
    if (FileList.Count() == 0) return;
    if (AskYesNo(L"Cancellare tutta la lista?") == YesNo::No) return;
    FileList.Clear();
    widest_ = 0;
    SendMessageW(FileList.Handle(), LB_SETHORIZONTALEXTENT, 0, 0);
}

void FileListEditor::OnSaveClicked() {
    files_ = FileList.Items();
    RememberFoldersAndClose();
}

void FileListEditor::OnClose() { RememberFoldersAndClose(); }

void FileListEditor::RememberFoldersAndClose() {
    if (closed_) return;
    closed_ = true;
    WriteAddFolders({addFileFolder_, addFolderFolder_});
    Form::OnClose();
}

void FileListEditor::OnHint(const std::wstring& hint) { HintPanel.SetText(hint); }

void FileListEditor::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDB_FILES_ADD_FILE:
        case IDM_FILES_ADD_FILES: AddFiles(); break;
        case IDM_FILES_ADD_FOLDER: AddFolder(); break;
        case IDM_FILES_REMOVE_SELECTED: RemoveSelection(); break;
        case IDM_FILES_REMOVE_ALL: RemoveAll(); break;
        case IDB_FILES_SAVE: OnSaveClicked(); break;
        case IDB_FILES_CANCEL: RememberFoldersAndClose(); break;
        case IDB_FILES_HELP: RequestHelp(L"SelezionaFile"); break;
        default: break;
    }
    (void)notifyCode;
}

INT_PTR FileListEditor::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == FileList.Handle()) {
                ShowListMenu(lParam);
                return 0;
            }
            break;
        case WM_MENUSELECT:
            OnMenuSelect(LOWORD(wParam), HIWORD(wParam));
            return 0;
        default:
            break;
    }
    handled = false;
    return 0;
}

}  // namespace vt
