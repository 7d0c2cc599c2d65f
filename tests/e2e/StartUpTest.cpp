#include <gtest/gtest.h>

#include "RunningProgram.h"
#include "app/MainWindow.h"
#include "app/MainWindowIds.h"
#include "help/HelpViewerIds.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/Paths.h"
#include "win/RegKey.h"

namespace vt {
namespace {

using namespace std::chrono_literals;
using test::FindControl;
using test::FindTopWindow;
using test::RunningProgram;
using test::WindowProcess;
using test::WaitFor;

class StartUp : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
    test::TempFolder folder_;

    void SetUp() override {
        test::EndProcesses(L"DorviVaultick.exe");
        // Not a first run: no installation dialog in the way.
        SettingsStore store;
        store.WriteBool(L"Principale", L"ShowInst", false);
        store.WriteString(L"Principale", L"Versione", L"3.7");
    }
    void TearDown() override {
        test::EndProcesses(L"DorviVaultick.exe");
        test::EndProcesses(L"Sweepex.exe");
    }

    std::wstring Install(const std::wstring& exeName = L"DorviVaultick.exe", bool withUninstaller = true,
                         bool withManifest = true) {
        const std::wstring exe = folder_ / exeName;
        CopyFileW((test::BinFolder() + L"\\DorviVaultick.exe").c_str(), exe.c_str(), FALSE);
        if (withUninstaller)
            CopyFileW((test::BinFolder() + L"\\Sweepex.exe").c_str(), (folder_ / L"Sweepex.exe").c_str(), FALSE);
        if (withManifest) {
            // Any manifest will do to skip the restart; the program writes the real one.
            test::WriteBytes(folder_ / L"DorviVaultick.exe.manifest", std::string());
        }
        return exe;
    }

    static HWND MainWindow() { return FindTopWindow(L"#32770", L"Dorvi Vaultick"); }
    static int StoredHandle() { return SettingsStore().ReadInteger(L"Principale", L"HProc", 0); }

    // A first copy with its window up and its handle stored.
    HWND StartFirst(RunningProgram& first) {
        HWND window = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (window = FindTopWindow(L"#32770", L"Dorvi Vaultick", first.Id())) != nullptr &&
                                         IsWindowVisible(window); }, 60s));
        EXPECT_TRUE(WaitFor([&] { return StoredHandle() == static_cast<int>(reinterpret_cast<INT_PTR>(window)); }, 60s));
        return window;
    }
};

TEST_F(StartUp, UnderAnotherFileNameItEndsAtOnceWithoutAWindow) {
    RunningProgram program(Install(L"Vaultick.exe"), L"");
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.WaitForExit(60s));
    EXPECT_EQ(MainWindow(), nullptr);
    EXPECT_EQ(SettingsStore().ReadInteger(L"Principale", L"HProc", 0), 0);
}

TEST_F(StartUp, MissingUninstallerIsReportedAndEndsTheProgram) {
    const std::wstring exe = Install(L"DorviVaultick.exe", false);
    RunningProgram program(exe, L"");
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(L"#32770", L"Errore", program.Id())) != nullptr; }, 60s));
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    EXPECT_EQ(std::wstring(text), L"File mancante:\r\n" + folder_ / L"Sweepex.exe");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(60s));
    EXPECT_EQ(MainWindow(), nullptr);
}

TEST_F(StartUp, MissingManifestIsWrittenAndTheUninstallerStartsTheProgramAgain) {
    RunningProgram program(Install(L"DorviVaultick.exe", true, false), L"");
    EXPECT_TRUE(program.WaitForExit(60s));
    const std::string manifest = test::ReadBytes(folder_ / L"DorviVaultick.exe.manifest");
    size_t lines = 0;
    for (size_t at = manifest.find("\r\n"); at != std::string::npos; at = manifest.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 22u);
    EXPECT_EQ(manifest.substr(manifest.size() - 13), "</assembly>\r\n");
    // The uninstaller waits a little over four seconds, then starts the program again.
    EXPECT_EQ(MainWindow(), nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = MainWindow()) != nullptr; }, 60s));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 60s));
}

TEST_F(StartUp, SecondCopyHandsOverToTheFirstAndEnds) {
    const std::wstring exe = Install();
    RunningProgram first(exe, L"");
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = MainWindow()) != nullptr && IsWindowVisible(window); }, 60s));
    EXPECT_TRUE(WaitFor([&] {
        return SettingsStore().ReadInteger(L"Principale", L"HProc", 0) == static_cast<int>(reinterpret_cast<INT_PTR>(window));
    }, 60s));

    for (const wchar_t* argument : {L"", L"Rimuovi"}) {
        ShowWindow(window, SW_HIDE);
        ASSERT_FALSE(IsWindowVisible(window));
        RunningProgram second(exe, argument);
        EXPECT_TRUE(second.WaitForExit(60s)) << argument;
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 60s)) << argument;
        EXPECT_TRUE(first.Running());
    }
}

TEST_F(StartUp, StaleWindowHandleGetsNoHandOver) {
    const std::wstring exe = Install();
    RunningProgram first(exe, L"");
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = MainWindow()) != nullptr; }, 60s));
    ASSERT_TRUE(WaitFor([] { return SettingsStore().ReadInteger(L"Principale", L"HProc", 0) != 0; }, 60s));

    // "HProc" left over from an earlier session now names a window of another program.
    HWND stranger = CreateWindowW(L"STATIC", L"estraneo", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SettingsStore().WriteInteger(L"Principale", L"HProc", static_cast<int>(reinterpret_cast<INT_PTR>(stranger)));
    RunningProgram second(exe, L"");
    EXPECT_TRUE(second.WaitForExit(60s));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, stranger, WM_USER, WM_USER, PM_REMOVE));
    DestroyWindow(stranger);
}

TEST_F(StartUp, StartFromAutostartKeepsTheWindowHidden) {
    RunningProgram program(Install(), L"/go");
    ASSERT_TRUE(WaitFor([] { return SettingsStore().ReadInteger(L"Principale", L"HProc", 0) != 0; }, 60s));
    const HWND window = reinterpret_cast<HWND>(
        static_cast<INT_PTR>(SettingsStore().ReadInteger(L"Principale", L"HProc", 0)));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(program.Running());
}

TEST_F(StartUp, HelpArgumentShowsTheMainTopicAndEndsWithTheViewer) {
    // No manifest: any other start would write it and have the uninstaller start us again.
    const std::wstring exe = Install(L"DorviVaultick.exe", true, false);
    ASSERT_TRUE(CopyFileW((test::BinFolder() + L"\\DorviVaultick.Hlp").c_str(), (folder_ / L"DorviVaultick.Hlp").c_str(), FALSE));
    auto showHelp = [&](bool byButton) {
        RunningProgram help(exe, L"/guida");
        HWND viewer = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (viewer = FindTopWindow(L"#32770", L"Vaultick - Guida", help.Id())); }, 60s));
        EXPECT_EQ(test::WindowText(FindControl(viewer, IDT_HELP_TITLE)), L"Vaultick - la finestra principale");
        EXPECT_EQ(FindTopWindow(L"#32770", L"Dorvi Vaultick", help.Id()), nullptr);
        EXPECT_TRUE(help.Running());
        if (byButton) PostMessageW(FindControl(viewer, IDB_HELP_CLOSE), BM_CLICK, 0, 0);
        else PostMessageW(viewer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(help.WaitForExit(60s));
    };
    showHelp(false);
    EXPECT_FALSE(FileExists(folder_ / L"DorviVaultick.exe.manifest"));
    EXPECT_EQ(StoredHandle(), 0);

    // Another copy running is no reason to end: the help is not a second copy of the program.
    test::WriteBytes(folder_ / L"DorviVaultick.exe.manifest", std::string());
    RunningProgram first(exe, L"");
    const HWND window = StartFirst(first);
    ShowWindow(window, SW_HIDE);
    showHelp(true);
    EXPECT_EQ(StoredHandle(), static_cast<int>(reinterpret_cast<INT_PTR>(window)));
    EXPECT_TRUE(first.Running());
}

TEST_F(StartUp, WhileTheHelpAloneIsOpenTheProgramStillStarts) {
    // No manifest: the start writes it and the uninstaller starts the program again. Neither
    // start may take the help for a running copy and end.
    const std::wstring exe = Install(L"DorviVaultick.exe", true, false);
    ASSERT_TRUE(CopyFileW((test::BinFolder() + L"\\DorviVaultick.Hlp").c_str(), (folder_ / L"DorviVaultick.Hlp").c_str(), FALSE));
    RunningProgram help(exe, L"/guida");
    ASSERT_TRUE(WaitFor([&] { return FindTopWindow(L"#32770", L"Vaultick - Guida", help.Id()) != nullptr; }, 60s));

    RunningProgram program(exe, L"");
    EXPECT_TRUE(program.WaitForExit(60s));
    EXPECT_TRUE(FileExists(folder_ / L"DorviVaultick.exe.manifest"));
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = MainWindow()) != nullptr && IsWindowVisible(window); }, 60s));
    EXPECT_NE(WindowProcess(window), help.Id());
    EXPECT_TRUE(help.Running());
}

TEST_F(StartUp, OnlyAPostedHandOverBringsTheWindowUp) {
    RunningProgram first(Install(), L"");
    const HWND window = StartFirst(first);
    ShowWindow(window, SW_HIDE);
    // The dialog manager asks the window for its default button (Enter, a focus move) with the
    // hand-over's number: that is a question, not a second start.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, DM_GETDEFID, 0, 0, SMTO_NORMAL, 60000, &answer));
    EXPECT_EQ(HIWORD(answer), DC_HASDEFID);
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageW(window, kHandOverMessage, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 60s));
}

TEST_F(StartUp, RemovalHandedOverWhileAnotherWindowIsOpenWaitsForIt) {
    test::RegistryGuard machine(HKEY_LOCAL_MACHINE, kSettingsKey);
    RunningProgram first(Install(), L"");
    const HWND window = StartFirst(first);
    PostMessageW(FindControl(window, IDB_ABOUT), BM_CLICK, 0, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = FindTopWindow(L"#32770", L"Backup automatico a tempo", first.Id())); }, 60s));
    // Both go through the same queue, in this order: the box takes the hand-over first.
    PostMessageW(window, kHandOverMessage, 1, 0);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    // The removal's first question (no installing user is recorded) comes once the box is gone.
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = FindTopWindow(L"#32770", L"Conferma", first.Id())); }, 60s));
    EXPECT_FALSE(IsWindow(about));
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(question); }, 60s));
    EXPECT_TRUE(first.Running());
}

TEST_F(StartUp, UnreadableSettingsCountAsAFirstRun) {
    // Below a volatile key no lasting key can be made: the settings key cannot be opened.
    test::RegistryGuard dorvi(HKEY_CURRENT_USER, L"Software\\Dorvi");
    HKEY volatileKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Dorvi", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &volatileKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileKey);
    ASSERT_FALSE(SettingsStore().IsOpen());

    RunningProgram program(Install(), L"");
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = FindTopWindow(L"#32770", L"Dorvi Vaultick", program.Id())); }, 60s));
    EXPECT_TRUE(WaitFor([&] {
        return FindTopWindow(L"#32770", L"Vaultick - Installazione Amministratore", program.Id()) != nullptr;
    }, 60s));
    EXPECT_NE(SendMessageW(FindControl(window, IDX_PROGRAM_ON), BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
}  // namespace vt
