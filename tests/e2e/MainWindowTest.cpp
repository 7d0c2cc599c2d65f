#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "RunningProgram.h"
#include "app/MainWindowIds.h"
#include "settings/FileListFile.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/Paths.h"

namespace vt {
namespace {

using namespace std::chrono_literals;
using test::FindControl;
using test::FindTopWindow;
using test::WaitFor;
using test::WindowText;

class MainWindow : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
    test::TempFolder folder_;
    SettingsStore store_;
    std::unique_ptr<test::RunningProgram> program_;
    HWND window_ = nullptr;

    void SetUp() override {
        test::EndProcesses(L"DorviVaultick.exe");
        store_.WriteBool(L"Principale", L"ShowInst", false);
        store_.WriteString(L"Principale", L"Versione", L"3.7");
    }
    void TearDown() override {
        program_.reset();
        test::EndProcesses(L"DorviVaultick.exe");
    }

    void Start() {
        const std::wstring exe = folder_ / L"DorviVaultick.exe";
        CopyFileW((test::BinFolder() + L"\\DorviVaultick.exe").c_str(), exe.c_str(), FALSE);
        CopyFileW((test::BinFolder() + L"\\Sweepex.exe").c_str(), (folder_ / L"Sweepex.exe").c_str(), FALSE);
        test::WriteBytes(folder_ / L"DorviVaultick.exe.manifest", std::string());
        program_ = std::make_unique<test::RunningProgram>(exe, L"");
        ASSERT_TRUE(WaitFor([&] {
            return (window_ = FindTopWindow(L"#32770", L"Dorvi Vaultick", program_->Id())) != nullptr &&
                   IsWindowVisible(window_);
        }, 60s));
    }

    HWND Control(int id) const { return FindControl(window_, id); }
    std::wstring Text(int id) const { return WindowText(Control(id)); }
    bool Checked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    std::wstring Title() const { return WindowText(FindTopWindow(L"VaultickApplication", L"", program_->Id())); }
};

TEST_F(MainWindow, NeverConfiguredJobIsShownIncomplete) {
    store_.WriteInteger(L"Principale", L"Selez", 7);
    store_.WriteBool(L"Principale", L"Attesa", true);
    Start();
    EXPECT_EQ(SendMessageW(Control(IDC_JOB_TABS), TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(IDT_SOURCE_TITLE), L"Cartella sorgente");
    EXPECT_EQ(Text(IDE_SOURCE), L"Nessuna");
    EXPECT_EQ(Text(IDE_DESTINATION), L"Nessuna");
    EXPECT_EQ(Text(IDE_SCHEDULE), L"Alle ore: --:--");
    EXPECT_FALSE(Checked(IDX_JOB_ENABLED));
    EXPECT_FALSE(Enabled(IDX_JOB_ENABLED));
    EXPECT_FALSE(Enabled(IDB_RUN_NOW));
    EXPECT_TRUE(Checked(IDX_PROGRAM_ON));
    // The incomplete job was switched off in the store too.
    EXPECT_FALSE(store_.ReadBool(L"Principale", L"Attesa", true));
    EXPECT_EQ(Title(), L"Vaultick off");
    const std::wstring clock = Text(IDT_CLOCK);
    ASSERT_EQ(clock.size(), 5u);
    EXPECT_EQ(clock[2], L'.');
}

TEST_F(MainWindow, CompleteFileListJobAndItsSwitch) {
    store_.WriteInteger(L"Principale", L"Selez", 1);
    store_.WriteBool(L"Principale", L"TipoDir2", false);
    store_.WriteBool(L"Principale", L"TipoFile2", true);
    store_.WriteBool(L"Principale", L"TipoOrario2", false);
    store_.WriteBool(L"Principale", L"Attesa2", true);
    store_.WriteString(L"Principale", L"DestinazioneFile2", L"E:\\Copie");
    store_.WriteBool(L"Vaultick2", L"Giorni", true);
    store_.WriteString(L"Vaultick2", L"NrGiorni", L"3");
    const std::wstring listFile = FileListPath(DataFolder(), 2);
    ForceFolders(DataFolder());
    ASSERT_TRUE(WriteFileList(listFile, {L"C:\\uno.doc", L"C:\\due.doc"}));
    Start();
    DeleteFileW(listFile.c_str());

    EXPECT_EQ(Text(IDT_SOURCE_TITLE), L"File selezionati");
    EXPECT_FALSE(Visible(IDE_SOURCE));
    EXPECT_TRUE(Visible(IDC_SOURCE_FILES));
    EXPECT_EQ(SendMessageW(Control(IDC_SOURCE_FILES), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(Control(IDC_SOURCE_FILES), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(IDE_DESTINATION), L"E:\\Copie");
    EXPECT_EQ(Text(IDE_SCHEDULE), L"Ogni 3 giorni");
    EXPECT_TRUE(Checked(IDX_JOB_ENABLED));
    EXPECT_TRUE(Enabled(IDB_RUN_NOW));
    EXPECT_EQ(Title(), L"Vaultick on");

    // Switching the job off is stored at once and changes the title.
    PostMessageW(Control(IDX_JOB_ENABLED), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !store_.ReadBool(L"Principale", L"Attesa2", true); }, 60s));
    EXPECT_TRUE(WaitFor([&] { return Title() == L"Vaultick off"; }, 60s));
    // The program's switch hides the job's switch.
    PostMessageW(Control(IDX_PROGRAM_ON), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !store_.ReadBool(L"Principale", L"CBAttiva", true); }, 60s));
    EXPECT_TRUE(WaitFor([&] { return !Visible(IDX_JOB_ENABLED); }, 60s));
}

TEST_F(MainWindow, RunNowAsksFirstOnAJobWithASchedule) {
    store_.WriteString(L"Principale", L"Sorgente", L"C:\\Dati");
    store_.WriteString(L"Principale", L"Destinazione", L"E:\\Copie");
    store_.WriteString(L"Principale", L"Orario", L"08:30");
    store_.WriteBool(L"Principale", L"CBAttiva", false);
    Start();
    ASSERT_TRUE(Enabled(IDB_RUN_NOW));
    PostMessageW(Control(IDB_RUN_NOW), BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(L"#32770", L"Conferma", program_->Id())) != nullptr; }, 60s));
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    EXPECT_EQ(std::wstring(text), L"Effettuare il backup fuori orario?");
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 60s));
    EXPECT_TRUE(program_->Running());
}

TEST_F(MainWindow, ExitWithNothingToRunEndsTheProgram) {
    Start();
    PostMessageW(Control(IDB_EXIT), BM_CLICK, 0, 0);
    EXPECT_TRUE(program_->WaitForExit(60s));
}

TEST_F(MainWindow, ExitWithAJobEnabledHides) {
    store_.WriteString(L"Principale", L"Sorgente", L"C:\\Dati");
    store_.WriteString(L"Principale", L"Destinazione", L"E:\\Copie");
    store_.WriteString(L"Principale", L"Orario", L"08:30");
    store_.WriteBool(L"Principale", L"Attesa", true);
    Start();
    PostMessageW(Control(IDB_EXIT), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window_); }, 60s));
    EXPECT_TRUE(program_->Running());
}

}  // namespace
}  // namespace vt
