#include <windows.h>
#include <shlobj.h>

#include "ConfigFixture.h"
#include "config/ConfigIds.h"
#include "config/FolderFiles.h"
#include "config/FormDatiFTP.h"
#include "config/FormLogFile.h"
#include "config/FormNrBackup.h"
#include "config/FormSelezFile.h"
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

using NrBackupTest = ConfigTest;

TEST_F(NrBackupTest, NothingStoredShowsLimitedTwoAndClosingWritesIt) {
    TFormNrBackup f;
    Show(f);
    EXPECT_EQ(Caption(f.Handle()), L"Vaultick - Imposta numero copie backup");
    EXPECT_TRUE(f.RB3.Checked());
    EXPECT_FALSE(f.RB1.Checked() || f.RB2.Checked());
    EXPECT_EQ(f.SpinEdit1.Text(), L"2");
    EXPECT_TRUE(f.SpinEdit1.Enabled());
    EXPECT_EQ(f.Hints.TextOf(f.SpinEdit1.Handle()), L"Numero delle copie");
    // Esc closes, and every close saves.
    SendMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(f.Handle(), nullptr);
    EXPECT_EQ(Read(kCopiesSection, L"RB1"), L"0");
    EXPECT_EQ(Read(kCopiesSection, L"RB2"), L"0");
    EXPECT_EQ(Read(kCopiesSection, L"RB3"), L"1");
    EXPECT_EQ(Read(kCopiesSection, L"NumBkp"), L"2");
}

TEST_F(NrBackupTest, UnlimitedDisablesTheCountWhichIsStillWrittenInRange) {
    Write(kCopiesSection, L"NumBkp", L"5000");
    TFormNrBackup f;
    Show(f);
    EXPECT_EQ(f.SpinEdit1.Text(), L"999");
    Tick(f.RB2.Handle(), true);
    EXPECT_FALSE(f.RB3.Checked());
    EXPECT_FALSE(f.SpinEdit1.Enabled());
    EXPECT_FALSE(f.Label1.Enabled());
    Click(f.BtnChiudi.Handle());
    EXPECT_EQ(Read(kCopiesSection, L"RB2"), L"1");
    EXPECT_EQ(Read(kCopiesSection, L"RB3"), L"0");
    EXPECT_EQ(Read(kCopiesSection, L"NumBkp"), L"999");

    EXPECT_EQ(CopiesCount(L""), 1);
    EXPECT_EQ(CopiesCount(L"0"), 1);
    EXPECT_EQ(CopiesCount(L"abc"), 1);
    EXPECT_EQ(CopiesCount(L"1000"), 999);
    EXPECT_EQ(CopiesCount(L"42"), 42);
}

TEST_F(NrBackupTest, SharingUnchangedFilesIsOffUntilTickedAndThenReadBack) {
    {
        TFormNrBackup f;
        Show(f);
        EXPECT_EQ(f.CBCollega.Text(), L"Collega i file invariati alla copia precedente");
        EXPECT_EQ(f.Hints.TextOf(f.CBCollega.Handle()),
                  L"Un file non modificato dall'ultima copia non occupa altro spazio sul disco");
        EXPECT_FALSE(f.CBCollega.Checked());
        Click(f.BtnChiudi.Handle());
    }
    EXPECT_EQ(Read(kCopiesSection, L"Collega"), L"0");
    {
        TFormNrBackup f;
        Show(f);
        Tick(f.CBCollega.Handle(), true);
        // The policy's own controls leave it alone, whichever is chosen.
        Tick(f.RB1.Handle(), true);
        EXPECT_TRUE(f.CBCollega.Enabled());
        SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(Read(kCopiesSection, L"Collega"), L"1");
    EXPECT_EQ(Read(kCopiesSection, L"RB1"), L"1");
    TFormNrBackup again;
    Show(again);
    EXPECT_TRUE(again.CBCollega.Checked());
    Click(again.BtnChiudi.Handle());
}

using DatiFtpTest = ConfigTest;

TEST_F(DatiFtpTest, IncompleteDataIsRefusedAndNothingWritten) {
    TFormDatiFTP f(3);
    Show(f);
    EXPECT_EQ(Caption(f.Handle()), L"Vaultick - Dati destinazione ftp");
    EXPECT_TRUE(f.RB1.Checked());
    f.Edit1.SetText(L"ftp.example.org");
    f.Edit3.SetText(L"mario");
    Click(f.BtnSalva.Handle());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Impossibile salvare se non si inseriscono tutti i dati");
    EXPECT_EQ(boxes_[0].caption, L"Informazione");
    EXPECT_NE(f.Handle(), nullptr);
    EXPECT_EQ(Read(JobSection(3), L"ftp-HN"), L"<missing>");
    // Annulla writes nothing either.
    f.Edit2.SetText(L"copie");
    Click(f.BtnAnnulla.Handle());
    EXPECT_EQ(f.Handle(), nullptr);
    EXPECT_EQ(Read(JobSection(3), L"ftp-HN"), L"<missing>");
}

TEST_F(DatiFtpTest, SavesWithTheSlashAndALongPasswordComesBack) {
    const std::wstring password(200, L'p');
    {
        TFormDatiFTP f(2);
        Show(f);
        EXPECT_EQ(static_cast<wchar_t>(SendMessageW(f.Edit4.Handle(), EM_GETPASSWORDCHAR, 0, 0)), L'x');
        f.Edit1.SetText(L"ftp.example.org");
        f.Edit2.SetText(L"copie");
        f.Edit3.SetText(L"mario");
        f.Edit4.SetText(password);
        SendMessageW(f.Edit4.Handle(), EM_SETSEL, 200, 200);
        TypeText(f.Edit4.Handle(), L"extra");  // at most 200 are kept
        Tick(f.RB2.Handle(), true);
        Click(f.BtnSalva.Handle());
        EXPECT_EQ(f.Handle(), nullptr);
    }
    EXPECT_EQ(Read(JobSection(2), L"ftp-HDN"), L"/copie");
    EXPECT_EQ(Read(JobSection(2), L"ftp-UN"), L"mario");
    EXPECT_EQ(Read(JobSection(2), L"ftp-ASCII"), L"0");
    EXPECT_EQ(Read(JobSection(2), L"ftp-Binari"), L"1");
    EXPECT_NE(Read(JobSection(2), L"ftp-Pswd"), password);
    EXPECT_EQ(FromAnsi(UnscramblePassword(kPasswordKey, StoredToScrambled(Read(JobSection(2), L"ftp-Pswd")))),
              password);

    TFormDatiFTP again(2);
    Show(again);
    EXPECT_EQ(again.Edit4.Text(), password);
    EXPECT_EQ(again.Edit2.Text(), L"/copie");
    EXPECT_TRUE(again.RB2.Checked());
    // A folder already starting with "/" stays as it is.
    EXPECT_EQ(WithLeadingSlash(L"/a/b"), L"/a/b");
    Click(again.BtnHelp.Handle());
    EXPECT_EQ(helpKeywords_, std::vector<std::wstring>{L"DestinazioneFTP"});
}

TEST_F(DatiFtpTest, TheBinaryFlagIsReadLastSoItWinsWhenBothAreSet) {
    struct Case {
        const wchar_t *ascii, *binary;
        bool binarySelected;
    };
    for (const Case& c : {Case{L"1", L"1", true}, Case{L"0", L"0", false}, Case{L"1", L"0", false},
                          Case{L"0", L"1", true}}) {
        Write(JobSection(4), L"ftp-ASCII", c.ascii);
        Write(JobSection(4), L"ftp-Binari", c.binary);
        TFormDatiFTP f(4);
        Show(f);
        EXPECT_EQ(f.RB2.Checked(), c.binarySelected) << c.ascii << c.binary;
        EXPECT_EQ(f.RB1.Checked(), !c.binarySelected) << c.ascii << c.binary;
        Click(f.BtnAnnulla.Handle());
    }
}

using LogFileTest = ConfigTest;

TEST_F(LogFileTest, ShowsTheDocumentsFolderInLowerCaseAndStoresItAsItIs) {
    const std::wstring documents = ShellFolder(CSIDL_PERSONAL);
    ASSERT_FALSE(documents.empty());
    TFormLogFile f;
    Show(f);
    EXPECT_EQ(Caption(f.Handle()), L"Vaultick - Gestione File Log");
    EXPECT_EQ(f.Edit1.Text(), ToLower(documents));
    EXPECT_FALSE(f.CheckBox1.Checked());
    Click(f.BtnSalva.Handle());
    EXPECT_EQ(Read(kLogSection, L"CartDest"), documents);
    EXPECT_EQ(Read(kLogSection, L"CBAttiva"), L"0");
}

TEST_F(LogFileTest, AChosenFolderIsKeptOnlyBySalva) {
    Write(kLogSection, L"CartDest", L"C:\\Log");
    {
        TFormLogFile f;
        Show(f);
        pickedFolder_ = L"D:\\Registro";
        Click(f.BtnBrowse.Handle());
        EXPECT_EQ(pickerStarts_, std::vector<std::wstring>{L"C:\\Log"});
        EXPECT_EQ(f.Edit1.Text(), L"d:\\registro");
        Click(f.BtnAnnulla.Handle());
    }
    EXPECT_EQ(Read(kLogSection, L"CartDest"), L"C:\\Log");
    TFormLogFile f;
    Show(f);
    Click(f.BtnBrowse.Handle());
    Tick(f.CheckBox1.Handle(), true);
    Click(f.BtnSalva.Handle());
    EXPECT_EQ(Read(kLogSection, L"CartDest"), L"D:\\Registro");
    EXPECT_EQ(Read(kLogSection, L"CBAttiva"), L"1");
}

class SelezFileTest : public ConfigTest {
protected:
    void Command(TFormSelezFile& f, int id) {
        SendMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
};

TEST_F(SelezFileTest, AddsAFoldersOrdinaryFilesInNameOrder) {
    WriteBytes(data_ / L"b.txt", "b");
    WriteBytes(data_ / L"a.txt", "a");
    WriteBytes(data_ / L"h.txt", "h");
    SetFileAttributesW((data_ / L"h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW((data_ / L"sub").c_str(), nullptr);
    std::vector<std::wstring> files{L"C:\\prima.txt"};
    TFormSelezFile f(files, L"C:\\Programma");
    Show(f);
    EXPECT_EQ(Caption(f.Handle()), L"Vaultick - File selezionati");
    EXPECT_EQ(f.LB1.ItemIndex(), 0);

    pickedFolder_ = data_.Path();
    Command(f, IDM_SEL_AGGIUNGICARTELLA1);
    EXPECT_EQ(pickerStarts_, std::vector<std::wstring>{L"C:\\Programma"});
    EXPECT_EQ(f.LB1.Items(), (std::vector<std::wstring>{L"C:\\prima.txt", data_ / L"a.txt", data_ / L"b.txt"}));

    // An empty folder adds nothing.
    TempFolder empty;
    pickedFolder_ = empty.Path();
    Command(f, IDM_SEL_AGGIUNGICARTELLA1);
    EXPECT_EQ(f.LB1.Count(), 3);
    EXPECT_EQ(JoinFolderEntries(L"C:\\", {L"a.txt"}), std::vector<std::wstring>{L"C:\\a.txt"});

    Click(f.BtnSalva.Handle());
    EXPECT_EQ(files.size(), 3u);
    EXPECT_EQ(Read(kMainSection, L"CartAddCard"), empty.Path());
}

TEST_F(SelezFileTest, FilesMenuAndRemovalsAndAnnullaKeepsTheOldList) {
    std::vector<std::wstring> files{L"C:\\vecchio.txt"};
    TFormSelezFile f(files, L"C:\\Programma");
    Show(f);
    std::vector<std::wstring> menu;
    for (int i = 0; i < GetMenuItemCount(f.PopupMenu1); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(f.PopupMenu1, i, text, 64, MF_BYPOSITION);
        menu.push_back(text);
    }
    EXPECT_EQ(menu, (std::vector<std::wstring>{L"Aggiungi &file...", L"Aggiungi &cartella...", L"",
                                               L"Rimuovi &selezione", L"Rimuovi &tutto"}));

    fileResult_ = {FileDialogResult::Chosen, {L"D:\\Doc\\a.doc", L"D:\\Doc\\b.doc"}};
    Click(f.BtnAddFile.Handle());
    Command(f, IDM_SEL_AGGIUNGIFILE1);
    ASSERT_EQ(fileRequests_.size(), 2u);
    EXPECT_EQ(fileRequests_[0].initialFolder, L"C:\\Programma");
    EXPECT_EQ(fileRequests_[1].initialFolder, L"D:\\Doc\\");
    EXPECT_EQ(fileRequests_[0].title, L"Selezionare uno o più file");
    EXPECT_TRUE(fileRequests_[0].multiSelect);
    EXPECT_EQ(f.LB1.Count(), 5);  // the same files twice

    f.LB1.SetItemIndex(0);
    Command(f, IDM_SEL_RIMUOVISELEZ1);
    EXPECT_EQ(f.LB1.Item(0), L"D:\\Doc\\a.doc");
    // Nothing is selected afterwards: the same command again removes nothing.
    EXPECT_EQ(f.LB1.ItemIndex(), -1);
    Command(f, IDM_SEL_RIMUOVISELEZ1);
    EXPECT_EQ(f.LB1.Count(), 4);
    answers_ = {IDNO};
    Command(f, IDM_SEL_RIMUOVITUTTO1);
    EXPECT_EQ(f.LB1.Count(), 4);
    Command(f, IDM_SEL_RIMUOVITUTTO1);
    EXPECT_EQ(f.LB1.Count(), 0);
    Command(f, IDM_SEL_RIMUOVITUTTO1);  // empty: no question
    EXPECT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].text, L"Cancellare tutta la lista?");

    fileResult_ = {FileDialogResult::Failed, {}};
    Click(f.BtnAddFile.Handle());
    ASSERT_EQ(boxes_.size(), 3u);
    EXPECT_EQ(boxes_[2].text, L"Problemi nella lettura");
    EXPECT_EQ(boxes_[2].caption, L"Errore");

    Click(f.BtnAnnulla.Handle());
    EXPECT_EQ(files, std::vector<std::wstring>{L"C:\\vecchio.txt"});
    EXPECT_EQ(Read(kMainSection, L"CartAddFile"), L"D:\\Doc\\");
    EXPECT_EQ(Read(kMainSection, L"CartAddCard"), L"C:\\Programma");
}

using EnterTest = ConfigTest;

TEST_F(EnterTest, TheFourDialogsTakeEnterForTheirDefaultButton) {
    TFormNrBackup copies;
    Show(copies);
    PressEnter(copies.Handle(), copies.SpinEdit1.Handle());
    EXPECT_EQ(copies.Handle(), nullptr);
    EXPECT_EQ(Read(kCopiesSection, L"NumBkp"), L"2");

    TFormLogFile log;
    Show(log);
    PressEnter(log.Handle(), log.Edit1.Handle());
    EXPECT_EQ(log.Handle(), nullptr);
    EXPECT_EQ(Read(kLogSection, L"CBAttiva"), L"0");

    TFormDatiFTP ftp(5);
    Show(ftp);
    ftp.Edit1.SetText(L"ftp.example.org");
    ftp.Edit2.SetText(L"/copie");
    ftp.Edit3.SetText(L"mario");
    PressEnter(ftp.Handle(), ftp.Edit3.Handle());
    EXPECT_EQ(ftp.Handle(), nullptr);
    EXPECT_EQ(Read(JobSection(5), L"ftp-HN"), L"ftp.example.org");

    std::vector<std::wstring> files{L"C:\\vecchio.txt"};
    TFormSelezFile list(files, L"C:\\Programma");
    Show(list);
    list.LB1.Clear();
    PressEnter(list.Handle(), list.LB1.Handle());
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
