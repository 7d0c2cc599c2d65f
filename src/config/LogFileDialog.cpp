#include "config/LogFileDialog.h"

#include <shlobj.h>

#include "config/ConfigIds.h"
#include "config/Pickers.h"
#include "settings/ProgramValues.h"
#include "settings/SettingsStore.h"
#include "win/Help.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

LogFileDialog::LogFileDialog() : Form(IDD_LOG_FILE) { SetHelp(L"ImpostazioneFileLog", 100); }

void LogFileDialog::OnCreate() {
    const HWND h = Handle();
    FolderLabel.Attach(h, IDT_LOG_FOLDER);
    FolderEdit.Attach(h, IDE_LOG_FOLDER);
    BrowseButton.Attach(h, IDB_LOG_BROWSE);
    EnabledCheck.Attach(h, IDX_LOG_ENABLED);
    CancelButton.Attach(h, IDB_LOG_CANCEL);
    SaveButton.Attach(h, IDB_LOG_SAVE);
    HelpButton.Attach(h, IDB_LOG_HELP);

    Hints.Create(h);
    Hints.Add(BrowseButton.Handle(), L"Seleziona la destinazione del file log");
    Hints.Add(CancelButton.Handle(), L"Chiude senza salvare");
    Hints.Add(SaveButton.Handle(), L"Sava i dati e chiude");
    Hints.Add(HelpButton.Handle(), L"Mostra la pagina del file della guida");

    std::wstring folder;
    SettingsStore store;
    if (store.IsOpen()) {
        const LogSettings log = ReadLogSettings(store);
        folder = log.folder;
        EnabledCheck.SetChecked(log.enabled);
    }
    store.Close();
    SetFolder(folder);
    // The field is read-only: the folder is changed through "Browse".
    BrowseButton.Focus();
}

void LogFileDialog::SetFolder(const std::wstring& folder) {
    folder_ = folder;
    FolderEdit.SetText(ToLower(folder));
}

void LogFileDialog::OnBrowseClicked() {
    if (const auto chosen = PickFolder(Handle(), folder_)) SetFolder(*chosen);
}

void LogFileDialog::OnSaveClicked() {
    WriteLogSettings({EnabledCheck.Checked(), folder_});
    Form::OnClose();
}

void LogFileDialog::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDB_LOG_BROWSE: OnBrowseClicked(); break;
        case IDB_LOG_SAVE: OnSaveClicked(); break;
        case IDB_LOG_CANCEL: Form::OnClose(); break;
        case IDB_LOG_HELP: RequestHelp(L"ImpostazioneFileLog"); break;
        default: break;
    }
}

}  // namespace vt
