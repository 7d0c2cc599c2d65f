#include <windows.h>
#include <commctrl.h>

#include "ConfigFixture.h"
#include "config/ConfigIds.h"
#include "config/JobSetupWindow.h"
#include "settings/FileListFile.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"

namespace vt::test {
namespace {

class JobSetupWindowTest : public ConfigTest {
protected:
    // Opens the window as the main window would, on the given tab.
    JobSetupWindow& Open(int page = 0) {
        form_ = std::make_unique<JobSetupWindow>(page, data_.Path(), data_.Path());
        EXPECT_TRUE(form_->CreateModeless(nullptr));
        ShowWindow(form_->Handle(), SW_SHOWNOACTIVATE);
        return *form_;
    }
    void SwitchTab(int index) {
        NMHDR header{form_->JobTabs.Handle(), static_cast<UINT_PTR>(form_->JobTabs.Id()), TCN_SELCHANGING};
        SendMessageW(form_->Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        form_->JobTabs.SetSelected(index);
        header.code = TCN_SELCHANGE;
        SendMessageW(form_->Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }
    void CloseWindow() {
        Click(form_->CloseButton.Handle());
        EXPECT_EQ(form_->Handle(), nullptr);
    }
    std::wstring Main(const wchar_t* name, int slot) const { return Read(kMainSection, SlotValueName(name, slot)); }

    std::unique_ptr<JobSetupWindow> form_;
};

TEST_F(JobSetupWindowTest, ShowsItsTextsOnTheMainWindowsPage) {
    JobSetupWindow& f = Open(2);
    wchar_t caption[64] = {};
    GetWindowTextW(f.Handle(), caption, 64);
    EXPECT_STREQ(caption, L"Vaultick - Configura Backup");
    EXPECT_EQ(f.Slot(), 3);
    EXPECT_EQ(f.JobTabs.Count(), 5);
    EXPECT_EQ(f.TaskbarCheck.Text(), L"Taskbar");
    EXPECT_EQ(f.ShowDuringRunsCheck.Text(), L"Mostra");
    EXPECT_TRUE(f.ShowDuringRunsCheck.Checked());
    EXPECT_FALSE(f.TaskbarCheck.Checked());
    EXPECT_EQ(f.ScheduleKindBox.Items(),
              (std::vector<std::wstring>{L"A orario prestabilito", L"All'avvio del sistema",
                                         L"Alla chiusura del sistema", L"A giorni prestabiliti",
                                         L"A ore prestabilite", L"Manuale"}));
    EXPECT_EQ(f.DataKindBox.Items(),
              (std::vector<std::wstring>{L"Cartella (e sottocartelle)", L"Uno o più file", L"Lancia un file"}));
    // A fresh job: at a time, a folder, no time yet.
    EXPECT_EQ(f.ScheduleKindBox.ItemIndex(), kAtTime);
    EXPECT_TRUE(f.TimePanelVisible());
    EXPECT_FALSE(f.HoursPanelVisible() || f.DaysPanelVisible());
    EXPECT_EQ(f.TimeEdit.Text(), L"--:--");
    EXPECT_EQ(f.SourceLabel.Text(), L"Cartella sorgente:");
    EXPECT_TRUE(f.SourceFolderEdit.Visible());
    EXPECT_FALSE(f.SourceFilesBox.Visible() || f.ProgramEdit.Visible());
    EXPECT_TRUE(f.DestinationFolderEdit.Visible());
    EXPECT_FALSE(f.FtpDestinationEdit.Visible());

    // The hint of the control under the mouse, in the status bar, also for the page's controls.
    const std::pair<const Control*, const wchar_t*> hints[] = {
        {&f.ClearButton, L"Cancella tutti i dati e ripristina le condizione iniziali"},
        {&f.CloseButton, L"Chiude la finestra e salva le modifiche"}};
    for (const auto& [control, hint] : hints) {
        RECT r;
        GetWindowRect(control->Handle(), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(control->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(f.HintBar.PanelText(0), hint);
    }

    SendMessageW(f.Handle(), WM_HELP, 0, 0);
    Click(f.HelpButton.Handle());
    EXPECT_EQ(helpKeywords_, (std::vector<std::wstring>{L"ImpostaBackups", L"ImpostaBackups"}));
}

TEST_F(JobSetupWindowTest, SwitchingTabsKeepsTheEditsAndClosingWritesBoth) {
    JobSetupWindow& f = Open(1);
    pickedFolder_ = L"C:\\Dati";
    Click(f.BrowseSourceButton.Handle());
    pickedFolder_ = L"E:\\Copie";
    Click(f.BrowseDestinationButton.Handle());
    Choose(f.ScheduleKindBox.Handle(), kEveryNHours);
    EXPECT_TRUE(f.HoursPanelVisible());
    EXPECT_FALSE(f.TimePanelVisible());
    f.HoursEdit.SetText(L"12");

    SwitchTab(3);
    EXPECT_EQ(f.Slot(), 4);
    EXPECT_EQ(f.SourceFolderEdit.Text(), L"");
    EXPECT_TRUE(f.TimePanelVisible());
    // Typed with a blank first position: stored padded.
    SendMessageW(f.TimeEdit.Handle(), EM_SETSEL, 1, 1);
    TypeText(f.TimeEdit.Handle(), L"830");
    EXPECT_EQ(f.TimeEdit.Text(), L"-8:30");
    Choose(f.DataKindBox.Handle(), kLaunchProgram);
    f.CommandLineEdit.SetText(L"/tutto");

    SwitchTab(1);
    EXPECT_EQ(f.SourceFolderEdit.Text(), L"C:\\Dati");
    EXPECT_EQ(f.DestinationFolderEdit.Text(), L"E:\\Copie");
    EXPECT_EQ(f.HoursEdit.Text(), L"12");
    EXPECT_TRUE(f.HoursPanelVisible());
    Tick(f.TaskbarCheck.Handle(), true);
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

TEST_F(JobSetupWindowTest, TheCatchUpBoxBesideTheTimeIsKeptPerJob) {
    Write(kMainSection, L"Recupera3", L"1");
    JobSetupWindow& f = Open(2);
    EXPECT_EQ(f.CatchUpCheck.Text(), L"Recupera se perso");
    EXPECT_TRUE(f.CatchUpCheck.Visible());
    EXPECT_TRUE(f.CatchUpCheck.Checked());
    RECT r;
    GetWindowRect(f.CatchUpCheck.Handle(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(f.CatchUpCheck.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(f.CatchUpCheck.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(f.HintBar.PanelText(0), L"Se all'orario il computer era spento, in sospensione o il programma chiuso, il "
                                      L"backup parte appena possibile");
    // Only a job at a time of day has a minute to miss.
    Choose(f.ScheduleKindBox.Handle(), kEveryNHours);
    EXPECT_FALSE(f.CatchUpCheck.Visible());
    Choose(f.ScheduleKindBox.Handle(), kAtTime);
    EXPECT_TRUE(f.CatchUpCheck.Visible());

    SwitchTab(0);
    EXPECT_FALSE(f.CatchUpCheck.Checked());
    Tick(f.CatchUpCheck.Handle(), true);
    SwitchTab(1);
    EXPECT_FALSE(f.CatchUpCheck.Checked());
    SwitchTab(2);
    EXPECT_TRUE(f.CatchUpCheck.Checked());
    Tick(f.CatchUpCheck.Handle(), false);
    CloseWindow();
    EXPECT_EQ(Main(L"Recupera", 1), L"1");
    EXPECT_EQ(Main(L"Recupera", 2), L"0");
    EXPECT_EQ(Main(L"Recupera", 3), L"0");
    EXPECT_EQ(Main(L"Recupera", 5), L"0");
}

TEST_F(JobSetupWindowTest, TimeAndIntervalTextsAreStoredByTheirRules) {
    JobSetupWindow& f = Open(0);
    f.TimeEdit.SetText(L"25:00");
    f.HoursEdit.SetText(L"a");
    f.DaysEdit.SetText(L"-1");
    CloseWindow();
    EXPECT_EQ(Main(L"Orario", 1), L"--:--");
    EXPECT_EQ(Read(JobSection(1), L"NrOre"), L"");
    EXPECT_EQ(Read(JobSection(1), L"NrGiorni"), L"-1");
}

TEST_F(JobSetupWindowTest, BothAtTimeAndManualShowManual) {
    Write(kMainSection, L"TipoOrario", L"1");
    Write(JobSection(1), L"Manuale", L"1");
    JobSetupWindow& f = Open(0);
    EXPECT_EQ(f.ScheduleKindBox.ItemIndex(), kManual);
    EXPECT_FALSE(f.TimePanelVisible() || f.HoursPanelVisible() || f.DaysPanelVisible());
}

TEST_F(JobSetupWindowTest, FtpDestinationShowsInCyanAndLaunchProgramShowsTheCommandLine) {
    Write(JobSection(1), L"DestFTP", L"1");
    Write(JobSection(1), L"ftp-HN", L"ftp.example.org");
    Write(JobSection(1), L"ftp-HDN", L"/copie");
    JobSetupWindow& f = Open(0);
    EXPECT_TRUE(f.FtpCheck.Checked());
    EXPECT_FALSE(f.DestinationPanelVisible());
    EXPECT_TRUE(f.FtpDestinationEdit.Visible());
    EXPECT_EQ(f.FtpDestinationEdit.Text(), L"ftp.example.org/copie");
    EXPECT_FALSE(f.DestinationFolderEdit.Visible());
    HDC dc = GetDC(f.FtpDestinationEdit.Handle());
    SendMessageW(f.JobPage.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(f.FtpDestinationEdit.Handle()));
    EXPECT_EQ(GetBkColor(dc), RGB(174, 255, 255));
    ReleaseDC(f.FtpDestinationEdit.Handle(), dc);

    Choose(f.DataKindBox.Handle(), kLaunchProgram);
    EXPECT_FALSE(f.FtpCheck.Visible());
    EXPECT_FALSE(f.BrowseDestinationButton.Visible());
    EXPECT_TRUE(f.DestinationPanelVisible());
    EXPECT_TRUE(f.CommandLineEdit.Visible());
    EXPECT_FALSE(f.FtpDestinationEdit.Visible());
    EXPECT_EQ(f.SourceLabel.Text(), L"Programma selezionato:");
    EXPECT_EQ(f.DestinationLabel.Text(), L"Riga di comando:");
    EXPECT_TRUE(f.ProgramEdit.Visible());

    Choose(f.DataKindBox.Handle(), kFolder);
    EXPECT_TRUE(f.FtpDestinationEdit.Visible());
    Tick(f.FtpCheck.Handle(), false);
    EXPECT_TRUE(f.DestinationFolderEdit.Visible());
    EXPECT_FALSE(f.FtpDestinationEdit.Visible());
    CloseWindow();
    EXPECT_EQ(Read(JobSection(1), L"DestFTP"), L"0");
}

TEST_F(JobSetupWindowTest, ClearAsksOnlyWhenASourceIsSet) {
    Write(kMainSection, L"Destinazione", L"E:\\Copie");
    Write(kMainSection, L"Orario", L"21:30");
    JobSetupWindow& f = Open(0);
    EXPECT_EQ(f.TimeEdit.Text(), L"21:30");
    Click(f.ClearButton.Handle());
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(f.DestinationFolderEdit.Text(), L"");
    EXPECT_EQ(f.TimeEdit.Text(), L"--:--");

    f.SourceFolderEdit.SetText(L"C:\\Dati");
    answers_ = {IDNO};
    Click(f.ClearButton.Handle());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Cancellare tutti i dati di questo backup?");
    EXPECT_EQ(f.SourceFolderEdit.Text(), L"C:\\Dati");
    Click(f.ClearButton.Handle());
    EXPECT_EQ(f.SourceFolderEdit.Text(), L"");
}

TEST_F(JobSetupWindowTest, TheFileListEditorWorksOnThePageAndTheListIsWrittenOnClose) {
    ASSERT_TRUE(WriteFileList(FileListPath(data_.Path(), 1), {L"C:\\a.txt"}));
    Write(kMainSection, L"TipoDir", L"0");
    Write(kMainSection, L"TipoFile", L"1");
    JobSetupWindow& f = Open(0);
    EXPECT_TRUE(f.SourceFilesBox.Visible());
    EXPECT_EQ(f.SourceFilesBox.Text(), L"C:\\a.txt");
    EXPECT_EQ(f.SourceLabel.Text(), L"File selezionati:");

    // The editor is modal: a timer plays the user inside it.
    fileResult_ = {FileDialogResult::Chosen, {L"D:\\x\\b.txt"}};
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND editor = FindWindowW(nullptr, L"Vaultick - File selezionati");
        if (!editor) return;
        SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDB_FILES_ADD_FILE, BN_CLICKED), 0);
        SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDB_FILES_SAVE, BN_CLICKED), 0);
    });
    Click(f.BrowseSourceButton.Handle());
    EXPECT_EQ(f.SourceFilesBox.Items(), (std::vector<std::wstring>{L"C:\\a.txt", L"D:\\x\\b.txt"}));
    CloseWindow();
    EXPECT_EQ(ReadFileList(FileListPath(data_.Path(), 1)),
              (std::vector<std::wstring>{L"C:\\a.txt", L"D:\\x\\b.txt"}));
}

TEST_F(JobSetupWindowTest, EnterWhileTypingKeepsTheWindowOpenAndSavesNothing) {
    JobSetupWindow& f = Open(0);
    EXPECT_FALSE(SendMessageW(f.CloseButton.Handle(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
    SendMessageW(f.TimeEdit.Handle(), EM_SETSEL, 0, 0);
    TypeText(f.TimeEdit.Handle(), L"0715");
    PressEnter(f.Handle(), f.TimeEdit.Handle());
    Choose(f.DataKindBox.Handle(), kLaunchProgram);
    f.CommandLineEdit.SetText(L"/tutto");
    PressEnter(f.Handle(), f.CommandLineEdit.Handle());
    ASSERT_NE(f.Handle(), nullptr);
    EXPECT_EQ(Main(L"DestinazioneExe", 1), L"<missing>");
    EXPECT_EQ(Main(L"Orario", 1), L"<missing>");
    CloseWindow();
    EXPECT_EQ(Main(L"DestinazioneExe", 1), L"/tutto");
    EXPECT_EQ(Main(L"Orario", 1), L"07:15");
}

}  // namespace
}  // namespace vt::test
