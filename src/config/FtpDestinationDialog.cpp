#include "config/FormDatiFTP.h"

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

TFormDatiFTP::TFormDatiFTP(int slot) : Form(IDD_DATIFTP), section_(JobSection(slot)) {
    SetHelp(L"DestinazioneFTP", 90);
}

void TFormDatiFTP::OnCreate() {
    const HWND h = Handle();
    Label1.Attach(h, IDT_FTP_LABEL1);
    Label2.Attach(h, IDT_FTP_LABEL2);
    Label3.Attach(h, IDT_FTP_LABEL3);
    Label4.Attach(h, IDT_FTP_LABEL4);
    Edit1.Attach(h, IDE_FTP_EDIT1);
    Edit2.Attach(h, IDE_FTP_EDIT2);
    Edit3.Attach(h, IDE_FTP_EDIT3);
    Edit4.Attach(h, IDE_FTP_EDIT4);
    RB1.Attach(h, IDR_FTP_RB1);
    RB2.Attach(h, IDR_FTP_RB2);
    BtnAnnulla.Attach(h, IDB_FTP_ANNULLA);
    BtnSalva.Attach(h, IDB_FTP_SALVA);
    BtnHelp.Attach(h, IDB_FTP_HELP);
    SendMessageW(Edit4.Handle(), EM_SETPASSWORDCHAR, L'x', 0);
    Edit4.SetMaxLength(kMaxFtpPassword);

    Hints.Create(h);
    Hints.Add(BtnAnnulla.Handle(), L"Chiude senza salvare");
    Hints.Add(BtnSalva.Handle(), L"Sava i dati e chiude");
    Hints.Add(BtnHelp.Handle(), L"Mostra la pagina del file della guida");

    RB1.SetChecked(true);
    ReadValues();
}

void TFormDatiFTP::ReadValues() {
    SettingsStore store;
    if (!store.IsOpen()) return;
    Edit1.SetText(store.ReadString(section_, L"ftp-HN", L""));
    Edit2.SetText(store.ReadString(section_, L"ftp-HDN", L""));
    Edit3.SetText(store.ReadString(section_, L"ftp-UN", L""));
    const std::wstring password = store.ReadString(section_, L"ftp-Pswd", L"");
    const bool binary = store.ReadBool(section_, L"ftp-Binari", false);
    store.Close();
    // ASCII is set from its flag first, then binary from its own, and selecting one radio
    // button clears the other: so the binary flag alone decides. With both stored, "Dati
    // Binari" is selected; with neither, ASCII stays as designed.
    RB1.SetChecked(!binary);
    RB2.SetChecked(binary);
    Edit4.SetText(FtpPasswordFromStore(password));
}

void TFormDatiFTP::BtnSalvaClick() {
    if (!FtpDataComplete(Edit1.Text(), Edit2.Text(), Edit3.Text())) {
        NotifyUser(L"Impossibile salvare se non si inseriscono tutti i dati", kNotifyInformation, 0);
        return;
    }
    // The password is stored in the ANSI code page: a character outside it would be changed
    // silently and the login would fail at every run.
    if (!FitsAnsi(Edit4.Text())) {
        NotifyUser(L"La password contiene caratteri non ammessi", kNotifyInformation, 0);
        return;
    }
    const std::wstring folder = WithLeadingSlash(Edit2.Text());
    if (folder != Edit2.Text()) Edit2.SetText(folder);
    SettingsStore store;
    store.WriteString(section_, L"ftp-HN", Edit1.Text());
    store.WriteString(section_, L"ftp-HDN", folder);
    store.WriteString(section_, L"ftp-UN", Edit3.Text());
    store.WriteString(section_, L"ftp-Pswd", StoredFtpPassword(Edit4.Text().substr(0, kMaxFtpPassword)));
    store.WriteBool(section_, L"ftp-ASCII", RB1.Checked());
    store.WriteBool(section_, L"ftp-Binari", !RB1.Checked());
    store.Close();
    Form::OnClose();
}

void TFormDatiFTP::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDB_FTP_SALVA: BtnSalvaClick(); break;
        case IDB_FTP_ANNULLA: Form::OnClose(); break;
        case IDB_FTP_HELP: RequestHelp(L"DestinazioneFTP"); break;
        default: break;
    }
}

}  // namespace vt
