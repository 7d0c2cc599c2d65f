#include <windows.h>
#include <commctrl.h>

#include "ConfigFixture.h"
#include "config/ConfigIds.h"
#include "config/FormSetup.h"
#include "settings/FileListFile.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"

namespace vt::test {
namespace {

class SetupTest : public ConfigTest {
protected:
    // Opens the window as the main window would, on the given tab.
    TFormSetup& Open(int page = 0) {
        form_ = std::make_unique<TFormSetup>(page, data_.Path(), data_.Path());
        EXPECT_TRUE(form_->CreateModeless(nullptr));
        ShowWindow(form_->Handle(), SW_SHOWNOACTIVATE);
        return *form_;
    }
    void SwitchTab(int index) {
        NMHDR header{form_->TabControl1.Handle(), static_cast<UINT_PTR>(form_->TabControl1.Id()), TCN_SELCHANGING};
        SendMessageW(form_->Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        form_->TabControl1.SetSelected(index);
        header.code = TCN_SELCHANGE;
        SendMessageW(form_->Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }
    void CloseWindow() {
        Click(form_->BtnExit.Handle());
        EXPECT_EQ(form_->Handle(), nullptr);
    }
    std::wstring Main(const wchar_t* name, int slot) const { return Read(kMainSection, SlotValueName(name, slot)); }

    std::unique_ptr<TFormSetup> form_;
};

TEST_F(SetupTest, ShowsItsTextsOnTheMainWindowsPage) {
    TFormSetup& f = Open(2);
    wchar_t caption[64] = {};
    GetWindowTextW(f.Handle(), caption, 64);
    EXPECT_STREQ(caption, L"Vaultick - Configura Backup");
    EXPECT_EQ(f.Slot(), 3);
    EXPECT_EQ(f.TabControl1.Count(), 5);
    EXPECT_EQ(f.CB1.Text(), L"Taskbar");
    EXPECT_EQ(f.CB3.Text(), L"Mostra");
    EXPECT_TRUE(f.CB3.Checked());
    EXPECT_FALSE(f.CB1.Checked());
    EXPECT_EQ(f.CBTipoBkp.Items(),
              (std::vector<std::wstring>{L"A orario prestabilito", L"All'avvio del sistema",
                                         L"Alla chiusura del sistema", L"A giorni prestabiliti",
                                         L"A ore prestabilite", L"Manuale"}));
    EXPECT_EQ(f.CBTipoDati.Items(),
              (std::vector<std::wstring>{L"Cartella (e sottocartelle)", L"Uno o più file", L"Lancia un file"}));
    // A fresh job: at a time, a folder, no time yet.
    EXPECT_EQ(f.CBTipoBkp.ItemIndex(), kAtTime);
    EXPECT_TRUE(f.PanelOrarioVisible());
    EXPECT_FALSE(f.PanelOreVisible() || f.PanelGiorniVisible());
    EXPECT_EQ(f.EditOra.Text(), L"--:--");
    EXPECT_EQ(f.Label1.Text(), L"Cartella sorgente:");
    EXPECT_TRUE(f.EditSorg1.Visible());
    EXPECT_FALSE(f.EditSorg2.Visible() || f.EditSorg3.Visible());
    EXPECT_TRUE(f.EditDest1.Visible());
    EXPECT_FALSE(f.EditDest4.Visible());

    // The hint of the control under the mouse, in the status bar, also for the page's controls.
    const std::pair<const Control*, const wchar_t*> hints[] = {
        {&f.BtnCanc, L"Cancella tutti i dati e ripristina le condizione iniziali"},
        {&f.BtnExit, L"Chiude la finestra e salva le modifiche"}};
    for (const auto& [control, hint] : hints) {
        RECT r;
        GetWindowRect(control->Handle(), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(control->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(f.StatusBar1.PanelText(0), hint);
    }

    SendMessageW(f.Handle(), WM_HELP, 0, 0);
    Click(f.BtnHelp.Handle());
    EXPECT_EQ(helpKeywords_, (std::vector<std::wstring>{L"ImpostaBackups", L"ImpostaBackups"}));
}

TEST_F(SetupTest, SwitchingTabsKeepsTheEditsAndClosingWritesBoth) {
    TFormSetup& f = Open(1);
    pickedFolder_ = L"C:\\Dati";
    Click(f.BtnBrowse1.Handle());
    pickedFolder_ = L"E:\\Copie";
    Click(f.BtnBrowse2.Handle());
    Choose(f.CBTipoBkp.Handle(), kEveryNHours);
    EXPECT_TRUE(f.PanelOreVisible());
    EXPECT_FALSE(f.PanelOrarioVisible());
    f.EditOre.SetText(L"12");

    SwitchTab(3);
    EXPECT_EQ(f.Slot(), 4);
    EXPECT_EQ(f.EditSorg1.Text(), L"");
    EXPECT_TRUE(f.PanelOrarioVisible());
    // Typed with a blank first position: stored padded.
    SendMessageW(f.EditOra.Handle(), EM_SETSEL, 1, 1);
    TypeText(f.EditOra.Handle(), L"830");
    EXPECT_EQ(f.EditOra.Text(), L"-8:30");
    Choose(f.CBTipoDati.Handle(), kLaunchProgram);
    f.EditDest3.SetText(L"/tutto");

    SwitchTab(1);
    EXPECT_EQ(f.EditSorg1.Text(), L"C:\\Dati");
    EXPECT_EQ(f.EditDest1.Text(), L"E:\\Copie");
    EXPECT_EQ(f.EditOre.Text(), L"12");
    EXPECT_TRUE(f.PanelOreVisible());
    Tick(f.CB1.Handle(), true);
    CloseWindow();

    EXPECT_EQ(Main(L"Sorgente", 2), L"C:\\Dati");
    EXPECT_EQ(Main(L"Destinazione", 2), L"E:\\Copie");
    EXPECT_EQ(Read(JobSection(2), L"Ore"), L"1");
    EXPECT_EQ(Main(L"TipoOrario", 2), L"0");
    EXPECT_EQ(Read(JobSection(2), L"NrOre"), L"12");
    EXPECT_EQ(Main(L"Orario", 4), L"08:30");
    EXPECT_EQ(Main(L"TipoExe", 4), L"1");
    EXPECT_EQ(Main(L"TipoDir", 4), L"0");
    EXPECT_EQ(Main(L"DestinazioneExe", 4), L"/tutto");
    EXPECT_EQ(Read(kMainSection, L"Task Bar"), L"1");
    EXPECT_EQ(Read(kMainSection, L"Mostra"), L"1");
    // The pickers start in the documents folder while the fields are empty.
    ASSERT_EQ(pickerStarts_.size(), 2u);
    EXPECT_FALSE(pickerStarts_[0].empty());
}

TEST_F(SetupTest, TimeAndIntervalTextsAreStoredByTheirRules) {
    TFormSetup& f = Open(0);
    f.EditOra.SetText(L"25:00");
    f.EditOre.SetText(L"a");
    f.EditGiorni.SetText(L"-1");
    CloseWindow();
    EXPECT_EQ(Main(L"Orario", 1), L"--:--");
    EXPECT_EQ(Read(JobSection(1), L"NrOre"), L"");
    EXPECT_EQ(Read(JobSection(1), L"NrGiorni"), L"-1");
}

TEST_F(SetupTest, BothAtTimeAndManualShowManual) {
    Write(kMainSection, L"TipoOrario", L"1");
    Write(JobSection(1), L"Manuale", L"1");
    TFormSetup& f = Open(0);
    EXPECT_EQ(f.CBTipoBkp.ItemIndex(), kManual);
    EXPECT_FALSE(f.PanelOrarioVisible() || f.PanelOreVisible() || f.PanelGiorniVisible());
}

TEST_F(SetupTest, FtpDestinationShowsInCyanAndLaunchProgramShowsTheCommandLine) {
    Write(JobSection(1), L"DestFTP", L"1");
    Write(JobSection(1), L"ftp-HN", L"ftp.example.org");
    Write(JobSection(1), L"ftp-HDN", L"/copie");
    TFormSetup& f = Open(0);
    EXPECT_TRUE(f.CBFTP.Checked());
    EXPECT_FALSE(f.PanelDestVisible());
    EXPECT_TRUE(f.EditDest4.Visible());
    EXPECT_EQ(f.EditDest4.Text(), L"ftp.example.org/copie");
    EXPECT_FALSE(f.EditDest1.Visible());
    HDC dc = GetDC(f.EditDest4.Handle());
    SendMessageW(f.Page.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(f.EditDest4.Handle()));
    EXPECT_EQ(GetBkColor(dc), RGB(174, 255, 255));
    ReleaseDC(f.EditDest4.Handle(), dc);

    Choose(f.CBTipoDati.Handle(), kLaunchProgram);
    EXPECT_FALSE(f.CBFTP.Visible());
    EXPECT_FALSE(f.BtnBrowse2.Visible());
    EXPECT_TRUE(f.PanelDestVisible());
    EXPECT_TRUE(f.EditDest3.Visible());
    EXPECT_FALSE(f.EditDest4.Visible());
    EXPECT_EQ(f.Label1.Text(), L"Programma selezionato:");
    EXPECT_EQ(f.Label2.Text(), L"Riga di comando:");
    EXPECT_TRUE(f.EditSorg3.Visible());

    Choose(f.CBTipoDati.Handle(), kFolder);
    EXPECT_TRUE(f.EditDest4.Visible());
    Tick(f.CBFTP.Handle(), false);
    EXPECT_TRUE(f.EditDest1.Visible());
    EXPECT_FALSE(f.EditDest4.Visible());
    CloseWindow();
    EXPECT_EQ(Read(JobSection(1), L"DestFTP"), L"0");
}

TEST_F(SetupTest, CancellaAsksOnlyWhenASourceIsSet) {
    Write(kMainSection, L"Destinazione", L"E:\\Copie");
    Write(kMainSection, L"Orario", L"21:30");
    TFormSetup& f = Open(0);
    EXPECT_EQ(f.EditOra.Text(), L"21:30");
    Click(f.BtnCanc.Handle());
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(f.EditDest1.Text(), L"");
    EXPECT_EQ(f.EditOra.Text(), L"--:--");

    f.EditSorg1.SetText(L"C:\\Dati");
    answers_ = {IDNO};
    Click(f.BtnCanc.Handle());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Cancellare tutti i dati di questo backup?");
    EXPECT_EQ(f.EditSorg1.Text(), L"C:\\Dati");
    Click(f.BtnCanc.Handle());
    EXPECT_EQ(f.EditSorg1.Text(), L"");
}

TEST_F(SetupTest, TheFileListEditorWorksOnThePageAndTheListIsWrittenOnClose) {
    ASSERT_TRUE(WriteFileList(FileListPath(data_.Path(), 1), {L"C:\\a.txt"}));
    Write(kMainSection, L"TipoDir", L"0");
    Write(kMainSection, L"TipoFile", L"1");
    TFormSetup& f = Open(0);
    EXPECT_TRUE(f.EditSorg2.Visible());
    EXPECT_EQ(f.EditSorg2.Text(), L"C:\\a.txt");
    EXPECT_EQ(f.Label1.Text(), L"File selezionati:");

    // The editor is modal: a timer plays the user inside it.
    fileResult_ = {FileDialogResult::Chosen, {L"D:\\x\\b.txt"}};
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND editor = FindWindowW(nullptr, L"Vaultick - File selezionati");
        if (!editor) return;
        SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDB_SEL_ADDFILE, BN_CLICKED), 0);
        SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDB_SEL_SALVA, BN_CLICKED), 0);
    });
    Click(f.BtnBrowse1.Handle());
    EXPECT_EQ(f.EditSorg2.Items(), (std::vector<std::wstring>{L"C:\\a.txt", L"D:\\x\\b.txt"}));
    CloseWindow();
    EXPECT_EQ(ReadFileList(FileListPath(data_.Path(), 1)),
              (std::vector<std::wstring>{L"C:\\a.txt", L"D:\\x\\b.txt"}));
}

TEST_F(SetupTest, EnterWhileTypingKeepsTheWindowOpenAndSavesNothing) {
    TFormSetup& f = Open(0);
    EXPECT_FALSE(SendMessageW(f.BtnExit.Handle(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
    SendMessageW(f.EditOra.Handle(), EM_SETSEL, 0, 0);
    TypeText(f.EditOra.Handle(), L"0715");
    PressEnter(f.Handle(), f.EditOra.Handle());
    Choose(f.CBTipoDati.Handle(), kLaunchProgram);
    f.EditDest3.SetText(L"/tutto");
    PressEnter(f.Handle(), f.EditDest3.Handle());
    ASSERT_NE(f.Handle(), nullptr);
    EXPECT_EQ(Main(L"DestinazioneExe", 1), L"<missing>");
    EXPECT_EQ(Main(L"Orario", 1), L"<missing>");
    CloseWindow();
    EXPECT_EQ(Main(L"DestinazioneExe", 1), L"/tutto");
    EXPECT_EQ(Main(L"Orario", 1), L"07:15");
}

}  // namespace
}  // namespace vt::test
