#include "config/FormSelezFile.h"

#include <stdexcept>

#include "config/ConfigIds.h"
#include "config/FolderFiles.h"
#include "config/Pickers.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
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
    {IDM_SEL_AGGIUNGIFILE1, L"Aggiungi &file...", L" Aggiunge uno o più file alla lista"},
    {IDM_SEL_AGGIUNGICARTELLA1, L"Aggiungi &cartella...", L" Aggiunge l'intero contenuto di una cartella"},
    {0, nullptr, nullptr},
    {IDM_SEL_RIMUOVISELEZ1, L"Rimuovi &selezione", L" Rimuove il file selezionato"},
    {IDM_SEL_RIMUOVITUTTO1, L"Rimuovi &tutto", L" Cancella l'intera lista"},
};

}  // namespace

TFormSelezFile::TFormSelezFile(std::vector<std::wstring>& files, std::wstring programFolder)
    : Form(IDD_SELEZFILE), files_(files), programFolder_(std::move(programFolder)) {
    SetHelp(L"SelezionaFile", 80);
}

TFormSelezFile::~TFormSelezFile() {
    if (PopupMenu1) DestroyMenu(PopupMenu1);
}

void TFormSelezFile::OnCreate() {
    const HWND h = Handle();
    Label1.Attach(h, IDT_SEL_LABEL1);
    LB1.Attach(h, IDL_SEL_LB1);
    BtnAddFile.Attach(h, IDB_SEL_ADDFILE);
    BtnSalva.Attach(h, IDB_SEL_SALVA);
    BtnAnnulla.Attach(h, IDB_SEL_ANNULLA);
    BtnHelp.Attach(h, IDB_SEL_HELP);
    Panel1.Attach(h, IDT_SEL_PANEL1);
    SetHint(LB1.Handle(), L" Lista dei file (tastino destro per menù)");
    SetHint(BtnAddFile.Handle(), L" Aggiunge uno o più file alla lista");
    SetHint(BtnSalva.Handle(), L" Salva la lista ed esce");
    SetHint(BtnAnnulla.Handle(), L" Chiude senza salvare");
    SetHint(BtnHelp.Handle(), L"Mostra l'help per questa finestra");
    CreatePopupMenu1();

    SettingsStore store;
    addFileFolder_ = store.ReadString(kMainSection, L"CartAddFile", programFolder_);
    addFolderFolder_ = store.ReadString(kMainSection, L"CartAddCard", programFolder_);
    store.Close();

    for (const std::wstring& file : files_) Append(file);
    if (LB1.Count() > 0) LB1.SetItemIndex(0);
    Panel1.SetText(L"");
}

void TFormSelezFile::CreatePopupMenu1() {
    PopupMenu1 = CreatePopupMenu();
    for (const MenuItem& item : kMenu) {
        if (item.id == 0) AppendMenuW(PopupMenu1, MF_SEPARATOR, 0, nullptr);
        else AppendMenuW(PopupMenu1, MF_STRING, item.id, item.text);
    }
}

void TFormSelezFile::ShowPopupMenu1(LPARAM where) {
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (where == static_cast<LPARAM>(-1)) {
        // From the keyboard: under the selected entry, or at the list's corner.
        RECT item{};
        const int index = LB1.ItemIndex();
        if (index < 0 || SendMessageW(LB1.Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            item = RECT{};
        at = {item.left + 8, item.bottom};
        ClientToScreen(LB1.Handle(), &at);
    }
    TrackPopupMenu(PopupMenu1, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
    Panel1.SetText(L"");
}

void TFormSelezFile::MenuSelect(UINT item, UINT flags) {
    if (flags == 0xFFFF) return;
    for (const MenuItem& entry : kMenu)
        if (entry.id != 0 && entry.id == item && !(flags & MF_POPUP)) {
            Panel1.SetText(entry.hint);
            return;
        }
    Panel1.SetText(L"");
}

void TFormSelezFile::Append(const std::wstring& entry) {
    const LRESULT index = SendMessageW(LB1.Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE) throw std::runtime_error("list box full");
    // Long paths can be scrolled to.
    HDC dc = GetDC(LB1.Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(LB1.Handle(), WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, entry.c_str(), static_cast<int>(entry.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(LB1.Handle(), dc);
    if (size.cx + 8 > widest_) {
        widest_ = size.cx + 8;
        SendMessageW(LB1.Handle(), LB_SETHORIZONTALEXTENT, widest_, 0);
    }
}

void TFormSelezFile::AddFiles() {
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
        NotifyUser(L"Problemi nella lettura", kNotifyError, 0);
    }
}

void TFormSelezFile::AddFolder() {
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
        NotifyUser(L"Problemi nella lettura", kNotifyError, 0);
    }
}

void TFormSelezFile::RemoveSelection() {
    const int index = LB1.ItemIndex();
    if (index < 0) return;
    LB1.Delete(index);
    // Nothing is selected afterwards, so a repeated command cannot remove a second entry.
    LB1.SetItemIndex(-1);
}

void TFormSelezFile::RemoveAll() {
    if (LB1.Count() == 0) return;
    if (NotifyUser(L"Cancellare tutta la lista?", kNotifyQuestion, 6) == IDNO) return;
    LB1.Clear();
    widest_ = 0;
    SendMessageW(LB1.Handle(), LB_SETHORIZONTALEXTENT, 0, 0);
}

void TFormSelezFile::BtnSalvaClick() {
    files_ = LB1.Items();
    FormClose();
}

void TFormSelezFile::OnClose() { FormClose(); }

void TFormSelezFile::FormClose() {
    if (closed_) return;
    closed_ = true;
    SettingsStore store;
    store.WriteString(kMainSection, L"CartAddFile", addFileFolder_);
    store.WriteString(kMainSection, L"CartAddCard", addFolderFolder_);
    store.Close();
    Form::OnClose();
}

void TFormSelezFile::OnHint(const std::wstring& hint) { Panel1.SetText(hint); }

void TFormSelezFile::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDB_SEL_ADDFILE:
        case IDM_SEL_AGGIUNGIFILE1: AddFiles(); break;
        case IDM_SEL_AGGIUNGICARTELLA1: AddFolder(); break;
        case IDM_SEL_RIMUOVISELEZ1: RemoveSelection(); break;
        case IDM_SEL_RIMUOVITUTTO1: RemoveAll(); break;
        case IDB_SEL_SALVA: BtnSalvaClick(); break;
        case IDB_SEL_ANNULLA: FormClose(); break;
        case IDB_SEL_HELP: RequestHelp(L"SelezionaFile"); break;
        default: break;
    }
    (void)notifyCode;
}

INT_PTR TFormSelezFile::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == LB1.Handle()) {
                ShowPopupMenu1(lParam);
                return 0;
            }
            break;
        case WM_MENUSELECT:
            MenuSelect(LOWORD(wParam), HIWORD(wParam));
            return 0;
        default:
            break;
    }
    handled = false;
    return 0;
}

}  // namespace vt
