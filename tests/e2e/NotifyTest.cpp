// A run that fails by itself is told of by a balloon from the tray; a good run by nothing.
// The test reads the tray and the balloon on screen, as a user would see them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "RunningProgram.h"
#include "app/MainWindow.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/Paths.h"

namespace vt {
namespace {

using namespace std::chrono_literals;
using test::FindTopWindow;
using test::WaitFor;
using test::WindowText;

const std::wstring kFailed = L"Il backup \u00e8 terminato con errori.";
const std::wstring kOpensLog = kFailed + L" Fare clic qui per aprire il file di log.";

// Wine's tray shows itself only while it holds an icon, and drops the icons of a program
// that ended.
bool IconInTray() {
    const HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    return tray && IsWindowVisible(tray);
}

// The texts of the balloons on screen.
std::vector<std::wstring> Balloons() {
    std::vector<std::wstring> texts;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (std::wstring(name) == TOOLTIPS_CLASSW && IsWindowVisible(window) &&
                (GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON))
                reinterpret_cast<std::vector<std::wstring>*>(data)->push_back(WindowText(window));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool BalloonShown(const std::wstring& text) {
    const auto texts = Balloons();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A Notepad window showing the file.
bool NotepadShows(const std::wstring& fileName) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"Notepad", nullptr)))
        if (WindowText(window).find(fileName) != std::wstring::npos) return true;
    return false;
}

// Slot 2 runs at logon, with the log in the test's folder, the tray switch off and the window
// hidden during the run.
class RunNotification : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
    test::TempFolder folder_;
    SettingsStore store_;
    std::unique_ptr<test::RunningProgram> program_;

    void SetUp() override {
        test::EndProcesses(L"DorviVaultick.exe");
        test::EndProcesses(L"notepad.exe");
        store_.WriteBool(L"Principale", L"ShowInst", false);
        store_.WriteString(L"Principale", L"Versione", L"3.7");
        store_.WriteBool(L"Principale", L"Mostra", false);
        store_.WriteBool(L"FileLog", L"CBAttiva", true);
        store_.WriteString(L"FileLog", L"CartDest", folder_.Path());
        store_.WriteBool(L"Principale", L"TipoOrario2", false);
        store_.WriteBool(L"Principale", L"Avvio2", true);
        store_.WriteBool(L"Principale", L"Attesa2", true);
        store_.WriteString(L"Principale", L"Destinazione2", folder_ / L"copie");
        for (const wchar_t* file : {L"DorviVaultick.exe", L"Sweepex.exe"})
            CopyFileW((test::BinFolder() + L"\\" + file).c_str(), (folder_ / file).c_str(), FALSE);
        test::WriteBytes(folder_ / L"DorviVaultick.exe.manifest", std::string());
        // Nothing of an earlier program may pass for this one's.
        ASSERT_TRUE(WaitFor([] { return !IconInTray() && Balloons().empty(); }, 60s));
    }
    void TearDown() override {
        program_.reset();
        test::EndProcesses(L"DorviVaultick.exe");
        test::EndProcesses(L"notepad.exe");
    }

    // Started as at logon; returns the main window once the logon run, and what the program
    // does after it, are over: "HProc" is written last.
    HWND StartAtLogon() {
        program_ = std::make_unique<test::RunningProgram>(folder_ / L"DorviVaultick.exe", L"/go");
        HWND window = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (window = FindTopWindow(L"#32770", L"Dorvi Vaultick", program_->Id())); }, 60s));
        EXPECT_TRUE(WaitFor([&] { return store_.ReadInteger(L"Principale", L"HProc", 0) != 0; }, 60s));
        return window;
    }
    std::string Log() const { return test::ReadBytes(folder_ / L"Vaultick.log"); }
};

TEST_F(RunNotification, AFailedLogonRunShowsTheBalloonWhoseClickOpensTheLog) {
    store_.WriteString(L"Principale", L"Sorgente2", folder_ / L"manca");
    const HWND window = StartAtLogon();
    EXPECT_NE(Log().find("Cartella sorgente inesistente."), std::string::npos) << Log();
    // The tray switch is off: the icon is there for the balloon.
    EXPECT_TRUE(IconInTray());
    ASSERT_TRUE(WaitFor([] { return BalloonShown(kOpensLog); }, 60s)) << Balloons().size();

    // A "notepad.exe" beside the log is not the system's: it is never the one started.
    ASSERT_TRUE(CopyFileW((test::BinFolder() + L"\\SweepexProbe.exe").c_str(), (folder_ / L"notepad.exe").c_str(), FALSE));
    PostMessageW(window, kTrayMessage, 0, NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(WaitFor([] { return !IconInTray(); }, 60s));
    EXPECT_TRUE(WaitFor([] { return NotepadShows(L"Vaultick.log"); }, 60s));
    EXPECT_FALSE(FileExists(folder_ / L"probe-ran.txt"));
    EXPECT_TRUE(program_->Running());
}

TEST_F(RunNotification, WithoutTheLogTheBalloonStillTellsAndGoesByItself) {
    store_.WriteBool(L"FileLog", L"CBAttiva", false);
    store_.WriteString(L"Principale", L"Sorgente2", folder_ / L"manca");
    StartAtLogon();
    EXPECT_TRUE(IconInTray());
    EXPECT_TRUE(WaitFor([] { return BalloonShown(kFailed); }, 60s));
    // Wine's shell never says that the balloon has gone: the program's own clock takes the icon away.
    EXPECT_TRUE(WaitFor([] { return !IconInTray(); }, 60s));
}

TEST_F(RunNotification, AGoodRunShowsNothing) {
    ForceFolders(folder_ / L"dati");
    test::WriteBytes(folder_ / L"dati\\conti.txt", "conti");
    store_.WriteString(L"Principale", L"Sorgente2", folder_ / L"dati");
    StartAtLogon();
    EXPECT_NE(Log().find("Copia limitata nel numero effettuata : "), std::string::npos) << Log();
    EXPECT_FALSE(IconInTray());
    EXPECT_TRUE(Balloons().empty());
}

}  // namespace
}  // namespace vt
