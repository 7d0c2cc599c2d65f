#include "config/FtpDestinationDialog.h"

#include "config/ConfigIds.h"
#include "settings/JobNames.h"
#include "settings/PasswordScrambling.h"
#include "settings/SettingsStore.h"
#include "win/Help.h"
#include "win/NotifyUser.h"
#include "win/Text.h"

namespace vt {

bool FtpDataComplete(const std::wstring& host, const std::wstring& folder, const std::wstring& user) {
    return !host.empty() && !folder.empty() && !user.empty();
}

std::wstring WithLeadingSlash(const std::wstring& folder) {
    return folder.starts_with(L'/') ? folder : L"/" + folder;
}

std::wstring StoredFtpPassword(const std::wstring& password) {
    return ScrambledToStored(ScramblePassword(kPasswordKey, ToAnsi(password)));
}

std::wstring FtpPasswordFromStore(const std::wstring& stored) {
    return FromAnsi(UnscramblePassword(kPasswordKey, StoredToScrambled(stored)));
}

FtpDestinationDialog::FtpDestinationDialog(int slot) : Form(IDD_FTP_DESTINATION), section_(JobSection(slot)) {
    SetHelp(L"DestinazioneFTP", 90);
}

void FtpDestinationDialog::OnCreate() {
    const HWND h = Handle();
    HostLabel.Attach(h, IDT_FTP_HOST);
    FolderLabel.Attach(h, IDT_FTP_FOLDER);
    UserLabel.Attach(h, IDT_FTP_USER);
    PasswordLabel.Attach(h, IDT_FTP_PASSWORD);
    HostEdit.Attach(h, IDE_FTP_HOST);
    FolderEdit.Attach(h, IDE_FTP_FOLDER);
    UserEdit.Attach(h, IDE_FTP_USER);
    PasswordEdit.Attach(h, IDE_FTP_PASSWORD);
    AsciiRadio.Attach(h, IDR_FTP_ASCII);
    BinaryRadio.Attach(h, IDR_FTP_BINARY);
    CancelButton.Attach(h, IDB_FTP_CANCEL);
    SaveButton.Attach(h, IDB_FTP_SAVE);
    HelpButton.Attach(h, IDB_FTP_HELP);
    SendMessageW(PasswordEdit.Handle(), EM_SETPASSWORDCHAR, L'x', 0);
    PasswordEdit.SetMaxLength(kMaxFtpPassword);

    Hints.Create(h);
    Hints.Add(CancelButton.Handle(), L"Chiude senza salvare");
    Hints.Add(SaveButton.Handle(), L"Sava i dati e chiude");
    Hints.Add(HelpButton.Handle(), L"Mostra la pagina del file della guida");

    AsciiRadio.SetChecked(true);
    ReadValues();
}

void FtpDestinationDialog::ReadValues() {
    SettingsStore store;
    if (!store.IsOpen()) return;
    HostEdit.SetText(store.ReadString(section_, L"ftp-HN", L""));
    FolderEdit.SetText(store.ReadString(section_, L"ftp-HDN", L""));
    UserEdit.SetText(store.ReadString(section_, L"ftp-UN", L""));
    const std::wstring password = store.ReadString(section_, L"ftp-Pswd", L"");
    const bool binary = store.ReadBool(section_, L"ftp-Binari", false);
    store.Close();
    // ASCII is set from its flag first, then binary from its own, and selecting one radio
    // button clears the other: so the binary flag alone decides. With both stored, "Dati
    // Binari" is selected; with neither, ASCII stays as designed.
    AsciiRadio.SetChecked(!binary);
    BinaryRadio.SetChecked(binary);
    PasswordEdit.SetText(FtpPasswordFromStore(password));
}

void FtpDestinationDialog::OnSaveClicked() {
    if (!FtpDataComplete(HostEdit.Text(), FolderEdit.Text(), UserEdit.Text())) {
        ShowMessage(L"Impossibile salvare se non si inseriscono tutti i dati", kNotifyInformation);
        return;
    }
    // The password is stored in the ANSI code page: a character outside it would be changed
    // silently and the login would fail at every run.
    if (!FitsAnsi(PasswordEdit.Text())) {
        ShowMessage(L"La password contiene caratteri non ammessi", kNotifyInformation);
        return;
    }
    const std::wstring folder = WithLeadingSlash(FolderEdit.Text());
    if (folder != FolderEdit.Text()) FolderEdit.SetText(folder);
    SettingsStore store;
    store.WriteString(section_, L"ftp-HN", HostEdit.Text());
    store.WriteString(section_, L"ftp-HDN", folder);
    store.WriteString(section_, L"ftp-UN", UserEdit.Text());
    store.WriteString(section_, L"ftp-Pswd", StoredFtpPassword(PasswordEdit.Text().substr(0, kMaxFtpPassword)));
    store.WriteBool(section_, L"ftp-ASCII", AsciiRadio.Checked());
    store.WriteBool(section_, L"ftp-Binari", !AsciiRadio.Checked());
    store.Close();
    Form::OnClose();
}

void FtpDestinationDialog::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDB_FTP_SAVE: OnSaveClicked(); break;
        case IDB_FTP_CANCEL: Form::OnClose(); break;
        case IDB_FTP_HELP: RequestHelp(L"DestinazioneFTP"); break;
        default: break;
    }
}

}  // namespace vt
