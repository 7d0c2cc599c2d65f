#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <memory>

#include "InstalledCopy.h"
#include "RunningProgram.h"
#include "app/MainWindowIds.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/DateTime.h"
#include "win/Paths.h"

namespace vt {
namespace {

using namespace std::chrono_literals;
using test::FindControl;
using test::FindTopWindow;
using test::WaitFor;

constexpr WPARAM kScheduleTimerId = 1;

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

double Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ToDateTime(now);
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The program made to end and start again around a job's minute, and the job page's last line.
class CatchUp : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
    test::RegistryGuard runKey_{HKEY_CURRENT_USER, L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Run"};
    test::TempFolder folder_;
    SettingsStore store_;
    std::unique_ptr<test::RunningProgram> program_;
    std::wstring exe_;

    void SetUp() override {
        test::EndProcesses(L"DorviVaultick.exe");
        exe_ = test::PlaceInstalledCopy(folder_.Path());
    }
    void TearDown() override {
        program_.reset();
        test::EndProcesses(L"DorviVaultick.exe");
    }

    // Slot 1 at a time of day, launching a batch file that does nothing: a run without errors.
    void AtTimeJob(const std::wstring& time, bool catchUp) {
        test::WriteBytes(folder_ / L"niente.bat", "@exit\r\n");
        store_.WriteBool(L"Principale", L"TipoDir", false);
        store_.WriteBool(L"Principale", L"TipoExe", true);
        store_.WriteString(L"Principale", L"SorgenteExe", folder_ / L"niente.bat");
        store_.WriteBool(L"Principale", L"TipoOrario", true);
        store_.WriteString(L"Principale", L"Orario", time);
        store_.WriteBool(L"Principale", L"Attesa", true);
        store_.WriteBool(L"Principale", L"Recupera", catchUp);
    }

    HWND Start() {
        program_ = std::make_unique<test::RunningProgram>(exe_, L"");
        HWND window = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (window = FindTopWindow(L"#32770", L"Dorvi Vaultick", program_->Id())); }, 60s));
        EXPECT_TRUE(WaitFor([&] { return store_.ReadInteger(L"Principale", L"HProc", 0) != 0; }, 60s));
        return window;
    }
    // The session ends while no run is in progress: the program says yes and ends.
    void EndSession(HWND window) {
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 60000, &answer));
        EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
        EXPECT_TRUE(program_->WaitForExit(60s));
        store_.WriteInteger(L"Principale", L"HProc", 0);
    }
    // Messages posted before it have been dealt with once the program switch has turned off.
    void AwaitPostedBefore(HWND window) {
        store_.WriteBool(L"Principale", L"CBAttiva", true);
        PostMessageW(FindControl(window, IDX_PROGRAM_ON), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !store_.ReadBool(L"Principale", L"CBAttiva", true); }, 60s));
    }
    static std::wstring LastRunLine(HWND window) { return test::WindowText(FindControl(window, IDT_LAST_RUN)); }

    std::string Log() const { return test::ReadBytes(folder_ / L"Vaultick.log"); }
};

TEST_F(CatchUp, AMinuteMissedWhileTheProgramWasNotRunningIsMadeUpOnceAtTheNextStart) {
    AtTimeJob(L"04:44", true);
    // The run waits for the test: while it is going, a crash would leave it "con errori".
    const std::wstring go = folder_ / L"via";
    test::WriteBytes(folder_ / L"attesa.bat", "@echo off\r\n:again\r\nif not exist \"" + Narrow(go) + "\" goto again\r\n");
    store_.WriteString(L"Principale", L"SorgenteExe", folder_ / L"attesa.bat");
    HWND window = Start();
    EndSession(window);
    ASSERT_TRUE(store_.ReadDateTime(L"Principale", L"UltimoControllo"));
    // The clock is put forward: the program last saw it three minutes ago, and the job's minute,
    // the one before now, passed while it was not running.
    const double minute = (std::floor(Now() * 1440.0 + 1e-7) - 1.0) / 1440.0;
    store_.WriteDateTime(L"Principale", L"UltimoControllo", minute - 2.0 / 1440.0);
    const SYSTEMTIME at = FromDateTime(minute);
    wchar_t time[6];
    swprintf(time, 6, L"%02u:%02u", at.wHour, at.wMinute);
    store_.WriteString(L"Principale", L"Orario", time);

    window = Start();
    PostMessageW(window, WM_TIMER, kScheduleTimerId, 0);
    const std::string line = "Recupero del backup delle " + Narrow(time) + " non eseguito\r\nAvvio backup numero 1\r\n";
    ASSERT_TRUE(WaitFor([&] { return Log().find(line) != std::string::npos; }, 60s)) << Log();
    ASSERT_TRUE(WaitFor([&] { return store_.ReadString(JobSection(1), L"UltimoEsito", L"") == L"1"; }, 60s));
    const auto started = store_.ReadDateTime(JobSection(1), L"UltimoAvvio");
    ASSERT_TRUE(started);
    EXPECT_GT(*started, minute);
    test::WriteBytes(go, std::string());
    ASSERT_TRUE(WaitFor([&] { return Log().find("File lanciato : ") != std::string::npos; }, 60s)) << Log();
    // The page tells of the run as soon as it has ended.
    ASSERT_TRUE(WaitFor([&] { return LastRunLine(window).find(L" - completato") != std::wstring::npos; }, 60s))
        << Narrow(LastRunLine(window));
    EXPECT_EQ(LastRunLine(window).rfind(L"Ultimo backup: ", 0), 0u);
    EXPECT_EQ(store_.ReadString(JobSection(1), L"UltimoEsito", L""), L"0");

    // Further ticks, the clock perhaps still showing that minute, do not run it again.
    PostMessageW(window, WM_TIMER, kScheduleTimerId, 0);
    PostMessageW(window, WM_TIMER, kScheduleTimerId, 0);
    AwaitPostedBefore(window);
    EXPECT_EQ(Occurrences(Log(), "Avvio backup numero 1"), 1u) << Log();
    EXPECT_EQ(Occurrences(Log(), "Recupero del backup"), 1u) << Log();
}

TEST_F(CatchUp, TheJobPageShowsEachJobsLastResult) {
    const double started = ToDateTime(SYSTEMTIME{2026, 3, 0, 7, 9, 5, 0, 0});
    for (int slot = 2; slot <= 4; ++slot) {
        store_.WriteDateTime(JobSection(slot), L"UltimoAvvio", started + slot / 1440.0);
        store_.WriteString(JobSection(slot), L"UltimoEsito", std::to_wstring(slot - 2));
    }
    const HWND window = Start();
    const HWND tabs = FindControl(window, IDC_JOB_TABS);
    const std::wstring expected[] = {L"Ultimo backup: nessuno", L"Ultimo backup: 07/03/2026 09:07 - completato",
                                     L"Ultimo backup: 07/03/2026 09:08 - con errori",
                                     L"Ultimo backup: 07/03/2026 09:09 - interrotto"};
    for (int page = 0; page < 4; ++page) {
        if (page > 0) {
            // The user moves to the next tab with the arrow key.
            PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
            PostMessageW(tabs, WM_KEYUP, VK_RIGHT, 0);
        }
        EXPECT_TRUE(WaitFor([&] { return LastRunLine(window) == expected[page]; }, 60s))
            << page << ": " << Narrow(LastRunLine(window));
    }
}

}  // namespace
}  // namespace vt
