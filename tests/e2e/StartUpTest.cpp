#include <gtest/gtest.h>

#include "RunningProgram.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/Paths.h"

namespace vt {
namespace {

using namespace std::chrono_literals;
using test::FindTopWindow;
using test::RunningProgram;
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
};

TEST_F(StartUp, UnderAnotherFileNameItEndsAtOnceWithoutAWindow) {
    RunningProgram program(Install(L"Vaultick.exe"), L"");
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.WaitForExit(20s));
    EXPECT_EQ(MainWindow(), nullptr);
    EXPECT_EQ(SettingsStore().ReadInteger(L"Principale", L"HProc", 0), 0);
}

TEST_F(StartUp, MissingUninstallerIsReportedAndEndsTheProgram) {
    const std::wstring exe = Install(L"DorviVaultick.exe", false);
    RunningProgram program(exe, L"");
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(L"#32770", L"Errore", program.Id())) != nullptr; }, 20s));
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    EXPECT_EQ(std::wstring(text), L"File mancante:\r\n" + folder_ / L"Sweepex.exe");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(30s));
    EXPECT_EQ(MainWindow(), nullptr);
}

TEST_F(StartUp, MissingManifestIsWrittenAndTheUninstallerStartsTheProgramAgain) {
    RunningProgram program(Install(L"DorviVaultick.exe", true, false), L"");
    EXPECT_TRUE(program.WaitForExit(20s));
    const std::string manifest = test::ReadBytes(folder_ / L"DorviVaultick.exe.manifest");
    size_t lines = 0;
    for (size_t at = manifest.find("\r\n"); at != std::string::npos; at = manifest.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 22u);
    EXPECT_EQ(manifest.substr(manifest.size() - 13), "</assembly>\r\n");
    // The uninstaller waits a little over four seconds, then starts the program again.
    EXPECT_EQ(MainWindow(), nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = MainWindow()) != nullptr; }, 30s));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 30s));
}

TEST_F(StartUp, SecondCopyHandsOverToTheFirstAndEnds) {
    const std::wstring exe = Install();
    RunningProgram first(exe, L"");
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = MainWindow()) != nullptr && IsWindowVisible(window); }, 20s));
    EXPECT_TRUE(WaitFor([&] {
        return SettingsStore().ReadInteger(L"Principale", L"HProc", 0) == static_cast<int>(reinterpret_cast<INT_PTR>(window));
    }, 30s));

    for (const wchar_t* argument : {L"", L"Rimuovi"}) {
        ShowWindow(window, SW_HIDE);
        ASSERT_FALSE(IsWindowVisible(window));
        RunningProgram second(exe, argument);
        EXPECT_TRUE(second.WaitForExit(20s)) << argument;
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 30s)) << argument;
        EXPECT_TRUE(first.Running());
    }
}

TEST_F(StartUp, StaleWindowHandleGetsNoHandOver) {
    const std::wstring exe = Install();
    RunningProgram first(exe, L"");
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = MainWindow()) != nullptr; }, 20s));
    ASSERT_TRUE(WaitFor([] { return SettingsStore().ReadInteger(L"Principale", L"HProc", 0) != 0; }, 30s));

    // "HProc" left over from an earlier session now names a window of another program.
    HWND stranger = CreateWindowW(L"STATIC", L"estraneo", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SettingsStore().WriteInteger(L"Principale", L"HProc", static_cast<int>(reinterpret_cast<INT_PTR>(stranger)));
    RunningProgram second(exe, L"");
    EXPECT_TRUE(second.WaitForExit(20s));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, stranger, WM_USER, WM_USER, PM_REMOVE));
    DestroyWindow(stranger);
}

TEST_F(StartUp, StartFromAutostartKeepsTheWindowHidden) {
    RunningProgram program(Install(), L"/go");
    ASSERT_TRUE(WaitFor([] { return SettingsStore().ReadInteger(L"Principale", L"HProc", 0) != 0; }, 20s));
    const HWND window = reinterpret_cast<HWND>(
        static_cast<INT_PTR>(SettingsStore().ReadInteger(L"Principale", L"HProc", 0)));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(program.Running());
}

}  // namespace
}  // namespace vt
