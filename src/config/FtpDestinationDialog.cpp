#include "config/FtpDestinationDialog.h"

#include "config/ConfigIds.h"
#include "ftp/CertificatePin.h"
#include "ftp/FtpClient.h"
#include "settings/FtpDestination.h"
#include "settings/PasswordScrambling.h"
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

std::wstring UntrustedCertificateQuestion(const std::string& fingerprint) {
    return L"Il certificato del server non è garantito dal sistema.\rImpronta SHA-256: " +
           FromAnsi(FingerprintPairs(fingerprint)) + L"\rConsiderarlo attendibile per questo backup?";
}

FtpDestinationDialog::FtpDestinationDialog(int slot) : Form(IDD_FTP_DESTINATION), slot_(slot) {
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
    SecureCheck.Attach(h, IDX_FTP_TLS);
    CheckButton.Attach(h, IDB_FTP_CHECK);
    SendMessageW(PasswordEdit.Handle(), EM_SETPASSWORDCHAR, L'x', 0);
    PasswordEdit.SetMaxLength(kMaxFtpPassword);

    Hints.Create(h);
    Hints.Add(CancelButton.Handle(), L"Chiude senza salvare");
    Hints.Add(SaveButton.Handle(), L"Sava i dati e chiude");
    Hints.Add(HelpButton.Handle(), L"Mostra la pagina del file della guida");
    Hints.Add(CheckButton.Handle(), L"Prova la connessione con questi dati");

    AsciiRadio.SetChecked(true);
    ReadValues();
}

void FtpDestinationDialog::ReadValues() {
    const std::optional<FtpDestination> stored = ReadFtpDestination(slot_);
    if (!stored) return;
    HostEdit.SetText(stored->host);
    FolderEdit.SetText(stored->folder);
    UserEdit.SetText(stored->user);
    const std::wstring password = stored->storedPassword;
    const bool binary = stored->binary;
    // ASCII is set from its flag first, then binary from its own, and selecting one radio
    // button clears the other: so the binary flag alone decides. With both stored, "Dati
    // Binari" is selected; with neither, ASCII stays as designed.
    AsciiRadio.SetChecked(!binary);
    BinaryRadio.SetChecked(binary);
    PasswordEdit.SetText(FtpPasswordFromStore(password));
    SecureCheck.SetChecked(stored->secure);
    certificatePin_ = stored->certificatePin;
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
    WriteFtpDestination(slot_, {HostEdit.Text(), folder, UserEdit.Text(),
                                StoredFtpPassword(PasswordEdit.Text().substr(0, kMaxFtpPassword)),
                                AsciiRadio.Checked(), !AsciiRadio.Checked(), SecureCheck.Checked(), certificatePin_});
    Form::OnClose();
}

void FtpDestinationDialog::OnCommand(int id, int notifyCode) {
    // A click sent while a check runs would close the window under the waiting client.
    if (notifyCode != BN_CLICKED || checking_) return;
    switch (id) {
        case IDB_FTP_SAVE: OnSaveClicked(); break;
        case IDB_FTP_CANCEL: Form::OnClose(); break;
        case IDB_FTP_HELP: RequestHelp(L"DestinazioneFTP"); break;
        case IDB_FTP_CHECK: OnCheckClicked(); break;
        default: break;
    }
}

}  // namespace vt

namespace vt {

// The connection runs on this thread with the message loop turning inside the client's waits,
// as during a run: the window keeps painting, and every request ends by the client's timeout,
// so a server that never answers costs seconds, not a frozen window. The dialog is disabled
// meanwhile, so nothing can be clicked or closed under the check.
void FtpDestinationDialog::OnCheckClicked() {
    if (checking_) return;
    if (!FtpDataComplete(HostEdit.Text(), FolderEdit.Text(), UserEdit.Text())) {
        ShowMessage(L"Impossibile verificare se non si inseriscono tutti i dati", kNotifyInformation);
        return;
    }
    checking_ = true;
    EnableWindow(Handle(), FALSE);
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // A Yes to the question tries once more with the fingerprint just accepted.
    while (TryConnection()) {
    }
    SetCursor(previous);
    EnableWindow(Handle(), TRUE);
    SetFocus(CheckButton.Handle());
    checking_ = false;
}

bool FtpDestinationDialog::TryConnection() {
    TFtpClient ftp;
    ftp.HostName = HostEdit.Text();
    ftp.UserName = UserEdit.Text();
    ftp.PassWord = PasswordEdit.Text().substr(0, kMaxFtpPassword);
    ftp.Secure = SecureCheck.Checked();
    ftp.CertificatePin = certificatePin_;
    if (ftp.Connect()) {
        ftp.Quit();
        ShowMessage(L"Connessione al sito ftp riuscita", kNotifyInformation);
        return false;
    }
    switch (ftp.SecurityFailure()) {
        case FtpSecurityFailure::Refused:
            ShowMessage(L"Il server ftp non accetta connessioni protette", kNotifyWarning);
            return false;
        case FtpSecurityFailure::Untrusted:
            // Without a fingerprint there is nothing to ask about: told as any failure below.
            if (ftp.ServerFingerprint().empty()) break;
            if (AskYesNo(UntrustedCertificateQuestion(ftp.ServerFingerprint())) != YesNo::Yes) return false;
            certificatePin_ = FromAnsi(ftp.ServerFingerprint());
            return true;
        case FtpSecurityFailure::None: break;
    }
    ShowMessage(L"Connessione al sito ftp non riuscita : " + ftp.ErrorMessage(), kNotifyWarning);
    return false;
}

// Closing during a check would destroy the window under the waiting client.
void FtpDestinationDialog::OnClose() {
    if (!checking_) Form::OnClose();
}

}  // namespace vt
