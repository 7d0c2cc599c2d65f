#include "config/FormLogFile.h"

#include <shlobj.h>

#include "config/ConfigIds.h"
#include "config/Pickers.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "win/Help.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

TFormLogFile::TFormLogFile() : Form(IDD_LOGFILE) { SetHelp(L"ImpostazioneFileLog", 100); }

void TFormLogFile::OnCreate() {
    const HWND h = Handle();
    Label1.Attach(h, IDT_LOG_LABEL1);
    Edit1.Attach(h, IDE_LOG_EDIT1);
    BtnBrowse.Attach(h, IDB_LOG_BROWSE);
    CheckBox1.Attach(h, IDX_LOG_CHECKBOX1);
    BtnAnnulla.Attach(h, IDB_LOG_ANNULLA);
    BtnSalva.Attach(h, IDB_LOG_SALVA);
    BtnHelp.Attach(h, IDB_LOG_HELP);

    Hints.Create(h);
    Hints.Add(BtnBrowse.Handle(), L"Seleziona la destinazione del file log");
    Hints.Add(BtnAnnulla.Handle(), L"Chiude senza salvare");
    Hints.Add(BtnSalva.Handle(), L"Sava i dati e chiude");
    Hints.Add(BtnHelp.Handle(), L"Mostra la pagina del file della guida");

    std::wstring folder;
    SettingsStore store;
    if (store.IsOpen()) {
        folder = store.ReadString(kLogSection, L"CartDest", ShellFolder(CSIDL_PERSONAL));
        CheckBox1.SetChecked(store.ReadBool(kLogSection, L"CBAttiva", false));
    }
    store.Close();
    SetFolder(folder);
    // The field is read-only: the folder is changed through "Browse".
    BtnBrowse.Focus();
}

void TFormLogFile::SetFolder(const std::wstring& folder) {
    folder_ = folder;
    Edit1.SetText(ToLower(folder));
}

void TFormLogFile::BtnBrowseClick() {
    if (const auto chosen = PickFolder(Handle(), folder_)) SetFolder(*chosen);
}

void TFormLogFile::BtnSalvaClick() {
    SettingsStore store;
    store.WriteString(kLogSection, L"CartDest", folder_);
    store.WriteBool(kLogSection, L"CBAttiva", CheckBox1.Checked());
    store.Close();
    Form::OnClose();
}

void TFormLogFile::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDB_LOG_BROWSE: BtnBrowseClick(); break;
        case IDB_LOG_SALVA: BtnSalvaClick(); break;
        case IDB_LOG_ANNULLA: Form::OnClose(); break;
        case IDB_LOG_HELP: RequestHelp(L"ImpostazioneFileLog"); break;
        default: break;
    }
}

}  // namespace vt
