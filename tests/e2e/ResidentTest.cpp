#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <memory>

#include "InstalledCopy.h"
#include "RunningProgram.h"
#include "app/Autostart.h"
#include "app/MainWindow.h"
#include "app/MainWindowIds.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/DateTime.h"
#include "win/Paths.h"
#include "win/RegKey.h"

namespace vt {
namespace {

constexpr WPARAM kClockTimerId = 2;  // the main window's 30-second clock

using namespace std::chrono_literals;
using test::FindControl;
using test::FindTopWindow;
using test::WaitFor;

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

// An FTP site that takes the connection and never answers: the run stays inside its waits, where
// messages reach the window, until the test lets it go. Then the connection waiting is reset and
// the attempts left fail at once, as against a site that is not there.
class SilentSite {
public:
    SilentSite() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~SilentSite() {
        Release();
        WSACleanup();
    }
    SilentSite(const SilentSite&) = delete;
    SilentSite& operator=(const SilentSite&) = delete;

    // Listens anew; "host:port" for the job's "ftp-HN".
    std::wstring Hold() {
        Release();
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(listener_, 8) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            ADD_FAILURE() << "no listening socket: " << WSAGetLastError();
        return L"127.0.0.1:" + std::to_wstring(ntohs(address.sin_port));
    }
    void Release() {
        if (listener_ != INVALID_SOCKET) closesocket(listener_);
        listener_ = INVALID_SOCKET;
    }

private:
    SOCKET listener_ = INVALID_SOCKET;
};

// The program as it stays resident: autostart, logon and session-end runs, Exit, the tray.
class Resident : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
    test::RegistryGuard runKey_{HKEY_CURRENT_USER, kRunKey};
    test::TempFolder folder_;
    SettingsStore store_;
    std::unique_ptr<test::RunningProgram> program_;
    std::wstring exe_;
    SilentSite site_;

    void SetUp() override {
        test::EndProcesses(L"DorviVaultick.exe");
        exe_ = test::PlaceInstalledCopy(folder_.Path());
    }
    void TearDown() override {
        program_.reset();
        test::EndProcesses(L"DorviVaultick.exe");
    }

    // A complete LaunchProgram job whose file is missing: quick, and its run shows in the log.
    void LaunchJob(int slot, const wchar_t* kindFlag = nullptr) {
        store_.WriteBool(L"Principale", SlotValueName(L"TipoDir", slot), false);
        store_.WriteBool(L"Principale", SlotValueName(L"TipoExe", slot), true);
        store_.WriteString(L"Principale", SlotValueName(L"SorgenteExe", slot), folder_ / L"manca.exe");
        store_.WriteBool(L"Principale", SlotValueName(L"TipoOrario", slot), false);
        if (kindFlag) store_.WriteBool(L"Principale", SlotValueName(kindFlag, slot), true);
        store_.WriteBool(L"Principale", SlotValueName(L"Attesa", slot), true);
    }

    // Every hour, a LaunchProgram job as above. Just run: the program's own tick, 55 s after it
    // started, finds it not due, and only the tick a test posts runs it.
    void HourlyJob(int slot = 1) {
        LaunchJob(slot);
        store_.WriteBool(JobSection(slot), L"Ore", true);
        store_.WriteString(JobSection(slot), L"NrOre", L"1");
        SYSTEMTIME now;
        GetLocalTime(&now);
        store_.WriteDateTime(JobSection(slot), L"Tempo", ToDateTime(now));
    }
    // Slot 1 every hour, uploading to a site that does not answer until the test releases it: the
    // message loop runs in the client's waits and messages arrive in the middle of the run.
    void UploadJob() {
        HourlyJob();
        store_.WriteBool(L"Principale", L"TipoExe", false);
        store_.WriteBool(L"Principale", L"TipoDir", true);
        store_.WriteString(L"Principale", L"Sorgente", folder_.Path());
        store_.WriteBool(JobSection(1), L"DestFTP", true);
        HoldUpload();
        store_.WriteString(JobSection(1), L"ftp-HDN", L"/copie");
    }

    // The next upload stays in its waits until ReleaseUpload.
    void HoldUpload() { store_.WriteString(JobSection(1), L"ftp-HN", site_.Hold()); }
    void ReleaseUpload() { site_.Release(); }
    // Posted messages are dealt with in order: once the clock's own tick, posted after `message`,
    // has written the clock field over a mark, `message` has been dealt with during the run.
    static void PostDuringRun(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const HWND clock = FindControl(window, IDT_CLOCK);
        ASSERT_TRUE(SendMessageTimeoutW(clock, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"--"), SMTO_NORMAL, 60000,
                                        nullptr));
        PostMessageW(window, message, wParam, lParam);
        PostMessageW(window, WM_TIMER, kClockTimerId, 0);
        ASSERT_TRUE(WaitFor([&] { return test::WindowText(clock) != L"--"; }, 60s));
    }

    // The tick the clock would give, with slot 1 due.
    void PostTick(HWND window) {
        store_.WriteDateTime(JobSection(1), L"Tempo", 1.0);
        PostMessageW(window, WM_TIMER, 1, 0);
    }
    // The run of slot 1 is over when its time of last run is set (the window is put back first).
    void AwaitRunEnd(int slot = 1) {
        ASSERT_TRUE(WaitFor([&] { return store_.ReadDateTime(JobSection(slot), L"Tempo").value_or(1.0) > 2.0; }, 60s));
    }
    void Tick(HWND window) {
        PostTick(window);
        AwaitRunEnd();
    }
    // A tick, and slot 1's run under way.
    void BeginRun(HWND window) {
        const size_t before = Occurrences(Log(), "Avvio backup numero 1");
        PostTick(window);
        ASSERT_TRUE(WaitFor([&] { return Occurrences(Log(), "Avvio backup numero 1") > before; }, 60s)) << Log();
    }

    static DWORD_PTR QueryEndSession(HWND window) {
        DWORD_PTR answer = 2;
        EXPECT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 60000, &answer));
        return answer;
    }
    // The user cancels the session end on the system's shutdown screen.
    static void CancelSessionEnd(HWND window) {
        EXPECT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, 60000, nullptr));
    }
    void HideByExit(HWND window) {
        PostMessageW(FindControl(window, IDB_EXIT), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }, 60s));
    }

    HWND Start(const std::wstring& arguments = L"") {
        program_ = std::make_unique<test::RunningProgram>(exe_, arguments);
        HWND window = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (window = FindTopWindow(L"#32770", L"Dorvi Vaultick", program_->Id())); }, 60s));
        EXPECT_TRUE(WaitFor([&] { return store_.ReadInteger(L"Principale", L"HProc", 0) != 0; }, 60s));
        return window;
    }

    std::string Log() const { return test::ReadBytes(folder_ / L"Vaultick.log"); }
    std::wstring RunValue() const {
        return RegKey::Open(HKEY_CURRENT_USER, kRunKey).ReadString(L"Vaultick").value_or(L"");
    }
};

TEST_F(Resident, AutostartRunsTheLogonJobsWithTheWindowHidden) {
    LaunchJob(2, L"Avvio");
    LaunchJob(4, L"Avvio");
    store_.WriteBool(L"Principale", L"Mostra", false);
    const HWND window = Start(L"/go");
    ASSERT_TRUE(WaitFor([&] { return Log().find("Avvio backup numero 4") != std::string::npos; }, 60s)) << Log();
    EXPECT_LT(Log().find("Avvio backup numero 2"), Log().find("Avvio backup numero 4"));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(Resident, SwitchedOffRunsNothingAtLogon) {
    LaunchJob(1, L"Avvio");
    store_.WriteBool(L"Principale", L"CBAttiva", false);
    Start(L"/go");
    EXPECT_TRUE(program_->Running());
    EXPECT_EQ(Log(), "");
}

TEST_F(Resident, SessionEndRunsTheShutdownJobsInOrderAndEnds) {
    LaunchJob(5, L"Chiusura");
    LaunchJob(2, L"Chiusura");
    const HWND window = Start();
    EXPECT_EQ(QueryEndSession(window), static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 60000, nullptr);
    EXPECT_TRUE(program_->WaitForExit(60s));
    const std::string log = Log();
    ASSERT_NE(log.find("Avvio backup numero 5"), std::string::npos) << log;
    EXPECT_LT(log.find("Avvio backup numero 2"), log.find("Avvio backup numero 5"));
    EXPECT_EQ(RunValue(), AutostartCommand(folder_.Path()));
}

TEST_F(Resident, ExitWithNothingToRunEndsAndRemovesTheAutostart) {
    RegKey::Create(HKEY_CURRENT_USER, kRunKey).WriteString(L"Vaultick", L"vecchio");
    const HWND window = Start();
    PostMessageW(FindControl(window, IDB_EXIT), BM_CLICK, 0, 0);
    EXPECT_TRUE(program_->WaitForExit(60s));
    EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, kRunKey).ValueExists(L"Vaultick"));
}

TEST_F(Resident, ExitWithAJobEnabledHidesAndASecondStartShowsIt) {
    LaunchJob(1, L"Avvio");
    const HWND window = Start();
    PostMessageW(FindControl(window, IDB_EXIT), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }, 60s));
    test::RunningProgram second(exe_, L"");
    EXPECT_TRUE(second.WaitForExit(60s));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 60s));
}

TEST_F(Resident, TrayCloseAsksOnlyWhenJobsWouldRun) {
    store_.WriteBool(L"Principale", L"Task Bar", true);
    LaunchJob(1, L"Avvio");
    HWND window = Start();
    auto chooseClose = [&] {
        PostMessageW(window, kTrayMessage, 0, WM_RBUTTONUP);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (menu = FindTopWindow(L"#32768", L"", program_->Id())); }, 60s));
        // Up from no selection reaches the last item, "&Chiudi".
        PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    };
    chooseClose();
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(L"#32770", L"Conferma", program_->Id())); }, 60s));
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    EXPECT_EQ(std::wstring(text),
              L"ATTENZIONE!\r\nChiudendo il programma i backup non verranno effettuati.\r\nContinuare ugualmente?");
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 60s));
    EXPECT_TRUE(program_->Running());

    // Switched off, it closes at once.
    PostMessageW(FindControl(window, IDX_PROGRAM_ON), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !store_.ReadBool(L"Principale", L"CBAttiva", true); }, 60s));
    chooseClose();
    EXPECT_TRUE(program_->WaitForExit(60s));
    EXPECT_EQ(RunValue(), AutostartCommand(folder_.Path()));  // the tray keeps it resident
}

TEST_F(Resident, AnAutomaticRunPutsTheWindowBackAsItFoundIt) {
    HourlyJob();
    const HWND window = Start();
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 60s));
    const HWND application = FindTopWindow(L"VaultickApplication", L"", program_->Id());
    ASSERT_NE(application, nullptr);

    Tick(window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(application));

    // Minimised: hidden but for its taskbar button, which must still be there afterwards.
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(application) && !IsWindowVisible(window); }, 60s));
    Tick(window);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(application) && IsWindowVisible(application); }, 60s));
    EXPECT_FALSE(IsWindowVisible(window));

    // Hidden by Exit (a job is enabled): hidden again, taskbar button and all.
    PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 60s));
    HideByExit(window);
    // The form goes first, its taskbar button a moment later.
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(application); }, 60s));
    Tick(window);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window) && !IsWindowVisible(application); }, 60s));
    EXPECT_NE(Log().find("Avvio backup numero 1"), std::string::npos) << Log();
}

TEST_F(Resident, SessionEndRefusedDuringABackupEndsTheProgramOnceTheJobsBehindItAreDone) {
    UploadJob();
    LaunchJob(2, L"Chiusura");
    const HWND window = Start();
    BeginRun(window);
    EXPECT_EQ(QueryEndSession(window), static_cast<DWORD_PTR>(FALSE));
    EXPECT_EQ(QueryEndSession(window), static_cast<DWORD_PTR>(FALSE));  // still inside the upload's waits
    // The entry is written again when the program ends, not only when it was asked.
    RegKey::Open(HKEY_CURRENT_USER, kRunKey, KEY_SET_VALUE).DeleteValue(L"Vaultick");
    ReleaseUpload();
    // Nobody asks again (the shutdown screen of Windows 8 and later waits for the user): the
    // job of slot 2 runs behind the upload, once, and then the program ends by itself.
    EXPECT_TRUE(program_->WaitForExit(60s));

    const std::string log = Log();
    const size_t upload = log.find("Sito ftp non trovato o connessione non attivata");
    const size_t shutdownJob = log.find("Avvio backup numero 2");
    ASSERT_NE(upload, std::string::npos) << log;
    ASSERT_NE(shutdownJob, std::string::npos) << log;
    EXPECT_LT(upload, shutdownJob);
    EXPECT_EQ(Occurrences(log, "Avvio backup numero 2"), 1u) << log;
    EXPECT_EQ(RunValue(), AutostartCommand(folder_.Path()));
}

TEST_F(Resident, CancelledSessionEndKeepsTheProgramAndALaterOneRunsTheShutdownJobsAgain) {
    UploadJob();
    LaunchJob(2, L"Chiusura");
    // Due at the same tick as slot 1; its run comes last, once the first queue has drained. It
    // succeeds: no notice goes to the tray after it, inside which the query below could arrive
    // before the queue is seen empty.
    HourlyJob(3);
    test::WriteBytes(folder_ / L"fatto.bat", "@exit\r\n");
    store_.WriteString(L"Principale", SlotValueName(L"SorgenteExe", 3), folder_ / L"fatto.bat");
    store_.WriteDateTime(JobSection(3), L"Tempo", 1.0);
    const HWND window = Start();
    BeginRun(window);
    EXPECT_EQ(QueryEndSession(window), static_cast<DWORD_PTR>(FALSE));
    CancelSessionEnd(window);
    ReleaseUpload();
    // The job of slot 2 still runs behind the upload; the program stays, and runs slot 3.
    AwaitRunEnd(3);
    EXPECT_EQ(Occurrences(Log(), "Avvio backup numero 2"), 1u) << Log();

    // A later session end takes the shutdown jobs again, and ends the program.
    EXPECT_EQ(QueryEndSession(window), static_cast<DWORD_PTR>(TRUE));
    EXPECT_TRUE(program_->WaitForExit(60s));
    EXPECT_EQ(Occurrences(Log(), "Avvio backup numero 2"), 2u) << Log();
}

TEST_F(Resident, WindowBroughtUpByTheUserDuringARunStaysUpAfterIt) {
    UploadJob();
    const HWND window = Start();
    for (const bool byTray : {false, true}) {
        HideByExit(window);
        HoldUpload();
        // The run shows the window and would hide it again afterwards.
        BeginRun(window);
        if (byTray) PostDuringRun(window, kTrayMessage, 0, WM_LBUTTONDBLCLK);
        else PostDuringRun(window, kHandOverMessage, 0, 0);  // a second copy started meanwhile
        ReleaseUpload();
        AwaitRunEnd();
        EXPECT_TRUE(IsWindowVisible(window)) << (byTray ? "tray" : "second copy");
    }
}

TEST_F(Resident, ShowDuringRunReadAgainInsideARunLeavesTheWindowAsTheRunFoundIt) {
    // "Mostra" is read again at every session-end query, also one refused during a run.
    UploadJob();
    const HWND window = Start();
    HideByExit(window);
    auto readShowSwitchDuringRun = [&](bool show) {
        HoldUpload();
        BeginRun(window);
        store_.WriteBool(L"Principale", L"Mostra", show);
        EXPECT_EQ(QueryEndSession(window), static_cast<DWORD_PTR>(FALSE));
        CancelSessionEnd(window);
        ReleaseUpload();
        AwaitRunEnd();
    };
    // Shown for the run, while "Mostra" was on: hidden again after it.
    readShowSwitchDuringRun(false);
    EXPECT_FALSE(IsWindowVisible(window));

    // Shown by other means than a hand-over, so that the state the last run found stays. A run
    // that did not show the window does not hide it either.
    ShowWindow(window, SW_SHOW);
    readShowSwitchDuringRun(true);
    EXPECT_TRUE(IsWindowVisible(window));
}

}  // namespace
}  // namespace vt
