#include <windows.h>
#include <shlobj.h>

#include "ConfigFixture.h"
#include "FtpServers.h"
#include "config/ConfigIds.h"
#include "config/FolderFiles.h"
#include "config/FtpDestinationDialog.h"
#include "config/LogFileDialog.h"
#include "config/CopiesDialog.h"
#include "config/FileListEditor.h"
#include "settings/JobNames.h"
#include "settings/PasswordScrambling.h"
#include "settings/SettingsStore.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt::test {
namespace {

std::wstring Caption(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

template <typename F>
void Show(F& form) {
    ASSERT_TRUE(form.CreateModeless(nullptr));
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
}

using CopiesDialogTest = ConfigTest;

TEST_F(CopiesDialogTest, NothingStoredShowsLimitedTwoAndClosingWritesIt) {
    CopiesDialog f;
    Show(f);
    EXPECT_EQ(Caption(f.Handle()), L"Vaultick - Imposta numero copie backup");
    EXPECT_TRUE(f.LimitedRadio.Checked());
    EXPECT_FALSE(f.NoCopiesRadio.Checked() || f.UnlimitedRadio.Checked());
    EXPECT_EQ(f.CountEdit.Text(), L"2");
    EXPECT_TRUE(f.CountEdit.Enabled());
    EXPECT_EQ(f.Hints.TextOf(f.CountEdit.Handle()), L"Numero delle copie");
    // Esc closes, and every close saves.
    SendMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(f.Handle(), nullptr);
    EXPECT_EQ(Read(kCopiesSection, L"RB1"), L"0");
    EXPECT_EQ(Read(kCopiesSection, L"RB2"), L"0");
    EXPECT_EQ(Read(kCopiesSection, L"RB3"), L"1");
    EXPECT_EQ(Read(kCopiesSection, L"NumBkp"), L"2");
}

TEST_F(CopiesDialogTest, UnlimitedDisablesTheCountWhichIsStillWrittenInRange) {
    Write(kCopiesSection, L"NumBkp", L"5000");
    CopiesDialog f;
    Show(f);
    EXPECT_EQ(f.CountEdit.Text(), L"999");
    Tick(f.UnlimitedRadio.Handle(), true);
    EXPECT_FALSE(f.LimitedRadio.Checked());
    EXPECT_FALSE(f.CountEdit.Enabled());
    EXPECT_FALSE(f.CountLabel.Enabled());
    Click(f.CloseButton.Handle());
    EXPECT_EQ(Read(kCopiesSection, L"RB2"), L"1");
    EXPECT_EQ(Read(kCopiesSection, L"RB3"), L"0");
    EXPECT_EQ(Read(kCopiesSection, L"NumBkp"), L"999");

    EXPECT_EQ(CopiesCount(L""), 1);
    EXPECT_EQ(CopiesCount(L"0"), 1);
    EXPECT_EQ(CopiesCount(L"abc"), 1);
    EXPECT_EQ(CopiesCount(L"1000"), 999);
    EXPECT_EQ(CopiesCount(L"42"), 42);
}

TEST_F(CopiesDialogTest, SharingUnchangedFilesIsOffUntilTickedAndThenReadBack) {
    {
        CopiesDialog f;
        Show(f);
        EXPECT_EQ(f.LinkUnchangedCheck.Text(), L"Collega i file invariati alla copia precedente");
        EXPECT_EQ(f.Hints.TextOf(f.LinkUnchangedCheck.Handle()),
                  L"Un file non modificato dall'ultima copia non occupa altro spazio sul disco");
        EXPECT_FALSE(f.LinkUnchangedCheck.Checked());
        Click(f.CloseButton.Handle());
    }
    EXPECT_EQ(Read(kCopiesSection, L"Collega"), L"0");
    {
        CopiesDialog f;
        Show(f);
        Tick(f.LinkUnchangedCheck.Handle(), true);
        // The policy's own controls leave it alone, whichever is chosen.
        Tick(f.NoCopiesRadio.Handle(), true);
        EXPECT_TRUE(f.LinkUnchangedCheck.Enabled());
        SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(Read(kCopiesSection, L"Collega"), L"1");
    EXPECT_EQ(Read(kCopiesSection, L"RB1"), L"1");
    CopiesDialog again;
    Show(again);
    EXPECT_TRUE(again.LinkUnchangedCheck.Checked());
    Click(again.CloseButton.Handle());
}

using FtpDestinationDialogTest = ConfigTest;

TEST_F(FtpDestinationDialogTest, IncompleteDataIsRefusedAndNothingWritten) {
    FtpDestinationDialog f(3);
    Show(f);
    EXPECT_EQ(Caption(f.Handle()), L"Vaultick - Dati destinazione ftp");
    EXPECT_TRUE(f.AsciiRadio.Checked());
    f.HostEdit.SetText(L"ftp.example.org");
    f.UserEdit.SetText(L"mario");
    Click(f.SaveButton.Handle());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Impossibile salvare se non si inseriscono tutti i dati");
    EXPECT_EQ(boxes_[0].caption, L"Informazione");
    EXPECT_NE(f.Handle(), nullptr);
    EXPECT_EQ(Read(JobSection(3), L"ftp-HN"), L"<missing>");
    // Annulla writes nothing either.
    f.FolderEdit.SetText(L"copie");
    Click(f.CancelButton.Handle());
    EXPECT_EQ(f.Handle(), nullptr);
    EXPECT_EQ(Read(JobSection(3), L"ftp-HN"), L"<missing>");
}

TEST_F(FtpDestinationDialogTest, SavesWithTheSlashAndALongPasswordComesBack) {
    const std::wstring password(200, L'p');
    {
        FtpDestinationDialog f(2);
        Show(f);
        EXPECT_EQ(static_cast<wchar_t>(SendMessageW(f.PasswordEdit.Handle(), EM_GETPASSWORDCHAR, 0, 0)), L'x');
        f.HostEdit.SetText(L"ftp.example.org");
        f.FolderEdit.SetText(L"copie");
        f.UserEdit.SetText(L"mario");
        f.PasswordEdit.SetText(password);
        SendMessageW(f.PasswordEdit.Handle(), EM_SETSEL, 200, 200);
        TypeText(f.PasswordEdit.Handle(), L"extra");  // at most 200 are kept
        Tick(f.BinaryRadio.Handle(), true);
        Click(f.SaveButton.Handle());
        EXPECT_EQ(f.Handle(), nullptr);
    }
    EXPECT_EQ(Read(JobSection(2), L"ftp-HDN"), L"/copie");
    EXPECT_EQ(Read(JobSection(2), L"ftp-UN"), L"mario");
    EXPECT_EQ(Read(JobSection(2), L"ftp-ASCII"), L"0");
    EXPECT_EQ(Read(JobSection(2), L"ftp-Binari"), L"1");
    EXPECT_NE(Read(JobSection(2), L"ftp-Pswd"), password);
    EXPECT_EQ(FromAnsi(UnscramblePassword(kPasswordKey, StoredToScrambled(Read(JobSection(2), L"ftp-Pswd")))),
              password);

    FtpDestinationDialog again(2);
    Show(again);
    EXPECT_EQ(again.PasswordEdit.Text(), password);
    EXPECT_EQ(again.FolderEdit.Text(), L"/copie");
    EXPECT_TRUE(again.BinaryRadio.Checked());
    // A folder already starting with "/" stays as it is.
    EXPECT_EQ(WithLeadingSlash(L"/a/b"), L"/a/b");
    Click(again.HelpButton.Handle());
    EXPECT_EQ(helpKeywords_, std::vector<std::wstring>{L"DestinazioneFTP"});
}

TEST_F(FtpDestinationDialogTest, TheBinaryFlagIsReadLastSoItWinsWhenBothAreSet) {
    struct Case {
        const wchar_t *ascii, *binary;
        bool binarySelected;
    };
    for (const Case& c : {Case{L"1", L"1", true}, Case{L"0", L"0", false}, Case{L"1", L"0", false},
                          Case{L"0", L"1", true}}) {
        Write(JobSection(4), L"ftp-ASCII", c.ascii);
        Write(JobSection(4), L"ftp-Binari", c.binary);
        FtpDestinationDialog f(4);
        Show(f);
        EXPECT_EQ(f.BinaryRadio.Checked(), c.binarySelected) << c.ascii << c.binary;
        EXPECT_EQ(f.AsciiRadio.Checked(), !c.binarySelected) << c.ascii << c.binary;
        Click(f.CancelButton.Handle());
    }
}

using LogFileDialogTest = ConfigTest;

TEST_F(LogFileDialogTest, ShowsTheDocumentsFolderInLowerCaseAndStoresItAsItIs) {
    const std::wstring documents = ShellFolder(CSIDL_PERSONAL);
    ASSERT_FALSE(documents.empty());
    LogFileDialog f;
    Show(f);
    EXPECT_EQ(Caption(f.Handle()), L"Vaultick - Gestione File Log");
    EXPECT_EQ(f.FolderEdit.Text(), ToLower(documents));
    EXPECT_FALSE(f.EnabledCheck.Checked());
    Click(f.SaveButton.Handle());
    EXPECT_EQ(Read(kLogSection, L"CartDest"), documents);
    EXPECT_EQ(Read(kLogSection, L"CBAttiva"), L"0");
}

TEST_F(LogFileDialogTest, AChosenFolderIsKeptOnlyBySave) {
    Write(kLogSection, L"CartDest", L"C:\\Log");
    {
        LogFileDialog f;
        Show(f);
        pickedFolder_ = L"D:\\Registro";
        Click(f.BrowseButton.Handle());
        EXPECT_EQ(pickerStarts_, std::vector<std::wstring>{L"C:\\Log"});
        EXPECT_EQ(f.FolderEdit.Text(), L"d:\\registro");
        Click(f.CancelButton.Handle());
    }
    EXPECT_EQ(Read(kLogSection, L"CartDest"), L"C:\\Log");
    LogFileDialog f;
    Show(f);
    Click(f.BrowseButton.Handle());
    Tick(f.EnabledCheck.Handle(), true);
    Click(f.SaveButton.Handle());
    EXPECT_EQ(Read(kLogSection, L"CartDest"), L"D:\\Registro");
    EXPECT_EQ(Read(kLogSection, L"CBAttiva"), L"1");
}

class FileListEditorTest : public ConfigTest {
protected:
    void Command(FileListEditor& f, int id) {
        SendMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
};

TEST_F(FileListEditorTest, AddsAFoldersOrdinaryFilesInNameOrder) {
    WriteBytes(data_ / L"b.txt", "b");
    WriteBytes(data_ / L"a.txt", "a");
    WriteBytes(data_ / L"h.txt", "h");
    SetFileAttributesW((data_ / L"h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW((data_ / L"sub").c_str(), nullptr);
    std::vector<std::wstring> files{L"C:\\prima.txt"};
    FileListEditor f(files, L"C:\\Programma");
    Show(f);
    EXPECT_EQ(Caption(f.Handle()), L"Vaultick - File selezionati");
    EXPECT_EQ(f.FileList.ItemIndex(), 0);

    pickedFolder_ = data_.Path();
    Command(f, IDM_FILES_ADD_FOLDER);
    EXPECT_EQ(pickerStarts_, std::vector<std::wstring>{L"C:\\Programma"});
    EXPECT_EQ(f.FileList.Items(), (std::vector<std::wstring>{L"C:\\prima.txt", data_ / L"a.txt", data_ / L"b.txt"}));

    // An empty folder adds nothing.
    TempFolder empty;
    pickedFolder_ = empty.Path();
    Command(f, IDM_FILES_ADD_FOLDER);
    EXPECT_EQ(f.FileList.Count(), 3);
    EXPECT_EQ(JoinFolderEntries(L"C:\\", {L"a.txt"}), std::vector<std::wstring>{L"C:\\a.txt"});

    Click(f.SaveButton.Handle());
    EXPECT_EQ(files.size(), 3u);
    EXPECT_EQ(Read(kMainSection, L"CartAddCard"), empty.Path());
}

TEST_F(FileListEditorTest, FilesMenuAndRemovalsAndCancelKeepTheOldList) {
    std::vector<std::wstring> files{L"C:\\vecchio.txt"};
    FileListEditor f(files, L"C:\\Programma");
    Show(f);
    std::vector<std::wstring> menu;
    for (int i = 0; i < GetMenuItemCount(f.ListMenu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(f.ListMenu, i, text, 64, MF_BYPOSITION);
        menu.push_back(text);
    }
    EXPECT_EQ(menu, (std::vector<std::wstring>{L"Aggiungi &file...", L"Aggiungi &cartella...", L"",
                                               L"Rimuovi &selezione", L"Rimuovi &tutto"}));

    fileResult_ = {FileDialogResult::Chosen, {L"D:\\Doc\\a.doc", L"D:\\Doc\\b.doc"}};
    Click(f.AddFileButton.Handle());
    Command(f, IDM_FILES_ADD_FILES);
    ASSERT_EQ(fileRequests_.size(), 2u);
    EXPECT_EQ(fileRequests_[0].initialFolder, L"C:\\Programma");
    EXPECT_EQ(fileRequests_[1].initialFolder, L"D:\\Doc\\");
    EXPECT_EQ(fileRequests_[0].title, L"Selezionare uno o più file");
    EXPECT_TRUE(fileRequests_[0].multiSelect);
    EXPECT_EQ(f.FileList.Count(), 5);  // the same files twice

    f.FileList.SetItemIndex(0);
    Command(f, IDM_FILES_REMOVE_SELECTED);
    EXPECT_EQ(f.FileList.Item(0), L"D:\\Doc\\a.doc");
    // Nothing is selected afterwards: the same command again removes nothing.
    EXPECT_EQ(f.FileList.ItemIndex(), -1);
    Command(f, IDM_FILES_REMOVE_SELECTED);
    EXPECT_EQ(f.FileList.Count(), 4);
    answers_ = {IDNO};
    Command(f, IDM_FILES_REMOVE_ALL);
    EXPECT_EQ(f.FileList.Count(), 4);
    Command(f, IDM_FILES_REMOVE_ALL);
    EXPECT_EQ(f.FileList.Count(), 0);
    Command(f, IDM_FILES_REMOVE_ALL);  // empty: no question
    EXPECT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].text, L"Cancellare tutta la lista?");

    fileResult_ = {FileDialogResult::Failed, {}};
    Click(f.AddFileButton.Handle());
    ASSERT_EQ(boxes_.size(), 3u);
    EXPECT_EQ(boxes_[2].text, L"Problemi nella lettura");
    EXPECT_EQ(boxes_[2].caption, L"Errore");

    Click(f.CancelButton.Handle());
    EXPECT_EQ(files, std::vector<std::wstring>{L"C:\\vecchio.txt"});
    EXPECT_EQ(Read(kMainSection, L"CartAddFile"), L"D:\\Doc\\");
    EXPECT_EQ(Read(kMainSection, L"CartAddCard"), L"C:\\Programma");
}

using EnterTest = ConfigTest;

TEST_F(EnterTest, TheFourDialogsTakeEnterForTheirDefaultButton) {
    CopiesDialog copies;
    Show(copies);
    PressEnter(copies.Handle(), copies.CountEdit.Handle());
    EXPECT_EQ(copies.Handle(), nullptr);
    EXPECT_EQ(Read(kCopiesSection, L"NumBkp"), L"2");

    LogFileDialog log;
    Show(log);
    PressEnter(log.Handle(), log.FolderEdit.Handle());
    EXPECT_EQ(log.Handle(), nullptr);
    EXPECT_EQ(Read(kLogSection, L"CBAttiva"), L"0");

    FtpDestinationDialog ftp(5);
    Show(ftp);
    ftp.HostEdit.SetText(L"ftp.example.org");
    ftp.FolderEdit.SetText(L"/copie");
    ftp.UserEdit.SetText(L"mario");
    PressEnter(ftp.Handle(), ftp.UserEdit.Handle());
    EXPECT_EQ(ftp.Handle(), nullptr);
    EXPECT_EQ(Read(JobSection(5), L"ftp-HN"), L"ftp.example.org");

    std::vector<std::wstring> files{L"C:\\vecchio.txt"};
    FileListEditor list(files, L"C:\\Programma");
    Show(list);
    list.FileList.Clear();
    PressEnter(list.Handle(), list.FileList.Handle());
    EXPECT_EQ(list.Handle(), nullptr);
    EXPECT_TRUE(files.empty());
}

TEST(Pickers, SplitsTheMultiSelectAnswer) {
    const wchar_t several[] = L"C:\\Doc\0a.txt\0b.txt\0";
    EXPECT_EQ(SplitMultiSelect(several), (std::vector<std::wstring>{L"C:\\Doc\\a.txt", L"C:\\Doc\\b.txt"}));
    const wchar_t one[] = L"C:\\Doc\\a.txt\0";
    EXPECT_EQ(SplitMultiSelect(one), std::vector<std::wstring>{L"C:\\Doc\\a.txt"});
    const wchar_t root[] = L"C:\\\0a.txt\0";
    EXPECT_EQ(SplitMultiSelect(root), std::vector<std::wstring>{L"C:\\a.txt"});
}

}  // namespace
}  // namespace vt::test

namespace vt::test {
namespace {

using FtpCheckTest = ConfigTest;

// "Verifica" against the real TLS server: the fingerprint question, its answer kept on Save,
// and a server that never answers.
TEST_F(FtpCheckTest, TheFingerprintQuestionPinsTheCertificateOnlyWhenAnsweredYes) {
    const std::wstring fingerprint = TlsFingerprint();
    ASSERT_EQ(fingerprint.size(), 64u);
    std::wstring pairs;
    for (size_t i = 0; i < 64; i += 2) pairs += (i ? L":" : L"") + fingerprint.substr(i, 2);
    // The box shows each CR of the text as a line end.
    const std::wstring question = L"Il certificato del server non è garantito dal sistema.\r\nImpronta SHA-256: " + pairs +
                                  L"\r\nConsiderarlo attendibile per questo backup?";
    auto fill = [](FtpDestinationDialog& f, const std::wstring& host) {
        f.HostEdit.SetText(host);
        f.FolderEdit.SetText(L"/copie");
        f.UserEdit.SetText(kFtpUser);
        f.PasswordEdit.SetText(kFtpPassword);
    };
    {
        FtpDestinationDialog f(6);
        Show(f);
        EXPECT_FALSE(f.SecureCheck.Checked());
        fill(f, FtpServerHost("tls"));
        Tick(f.SecureCheck.Handle(), true);
        answers_ = {IDNO};
        Click(f.CheckButton.Handle());
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, question);
        EXPECT_EQ(boxes_[0].caption, L"Conferma");
        EXPECT_TRUE(f.CheckButton.Enabled() && IsWindowEnabled(f.Handle()));
        Click(f.SaveButton.Handle());
        EXPECT_EQ(f.Handle(), nullptr);
    }
    EXPECT_EQ(Read(JobSection(6), L"ftp-TLS"), L"1");
    EXPECT_EQ(Read(JobSection(6), L"ftp-Cert"), L"");
    boxes_.clear();
    {
        FtpDestinationDialog f(6);
        Show(f);
        EXPECT_TRUE(f.SecureCheck.Checked());
        answers_ = {IDYES};
        Click(f.CheckButton.Handle());
        ASSERT_EQ(boxes_.size(), 2u);
        EXPECT_EQ(boxes_[0].text, question);
        EXPECT_EQ(boxes_[1].text, L"Connessione al sito ftp riuscita");
        // Annulla forgets the answer.
        Click(f.CancelButton.Handle());
    }
    EXPECT_EQ(Read(JobSection(6), L"ftp-Cert"), L"");
    boxes_.clear();
    {
        FtpDestinationDialog f(6);
        Show(f);
        Click(f.CheckButton.Handle());
        ASSERT_EQ(boxes_.size(), 2u);
        Click(f.SaveButton.Handle());
    }
    EXPECT_EQ(Read(JobSection(6), L"ftp-Cert"), fingerprint);
    boxes_.clear();
    {
        // Pinned now: no question; unticked: no protection, which this server refuses.
        FtpDestinationDialog f(6);
        Show(f);
        Click(f.CheckButton.Handle());
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, L"Connessione al sito ftp riuscita");
        Tick(f.SecureCheck.Handle(), false);
        Click(f.CheckButton.Handle());
        ASSERT_EQ(boxes_.size(), 2u);
        EXPECT_TRUE(boxes_[1].text.starts_with(L"Connessione al sito ftp non riuscita : ")) << ToUtf8(boxes_[1].text);
        Click(f.SaveButton.Handle());
    }
    EXPECT_EQ(Read(JobSection(6), L"ftp-TLS"), L"0");
    EXPECT_EQ(Read(JobSection(6), L"ftp-Cert"), fingerprint);
    boxes_.clear();
    {
        FtpDestinationDialog f(7);
        Show(f);
        fill(f, FtpServerHost("silent"));
        Tick(f.SecureCheck.Handle(), true);
        const ULONGLONG start = GetTickCount64();
        Click(f.CheckButton.Handle());
        EXPECT_LT(GetTickCount64() - start, 60000u);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, L"Connessione al sito ftp non riuscita : 426 Timeout");
        EXPECT_TRUE(IsWindowEnabled(f.Handle()));
        Click(f.CancelButton.Handle());
    }
}

}  // namespace
}  // namespace vt::test
