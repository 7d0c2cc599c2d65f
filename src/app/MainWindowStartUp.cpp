// The main window's start-up: what the program finds decides what it does, then the window
// is made ready and the schedule loaded.
#include "app/MainWindow.h"

#include "about/IsXPOrLater.h"
#include "app/StartUpSettings.h"
#include "help/HelpViewer.h"
#include "install/InstallDialog.h"
#include "install/Manifest.h"
#include "settings/ProgramValues.h"
#include "win/Clock.h"
#include "win/DateTime.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/Platform.h"
#include "win/ProcessList.h"
#include "win/StartProgram.h"
#include "win/Text.h"

namespace vt {

namespace {

enum TimerId : UINT_PTR { kScheduleTimer = 1, kClockTimer, kInstallTimer, kBalloonTimer, kProgressTimer };
// How long the taskbar button stays red after a run with failures.
constexpr UINT kFailedProgressMs = 5000;

HWND g_handOverWindow = nullptr;
HHOOK g_handOverHook = nullptr;

// Sees every message any loop of this thread takes from the queue (ours, a modal window's, a
// message box's, a run's waits). Only a posted hand-over passes here: what the dialog manager
// sends to the window goes straight to the window procedure.
LRESULT CALLBACK TakePostedHandOver(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION && removal == PM_REMOVE) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        if (msg.message == kHandOverMessage && msg.hwnd && msg.hwnd == g_handOverWindow) msg.message = kHandOverTaken;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

// The window a second copy may hand over to: one of our dialogs in a process of ours. A stale
// "HProc" may name any window of another program by now.
bool IsRunningMainWindow(HWND window) {
    if (!IsWindow(window)) return false;
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (std::wstring(className) != L"#32770") return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = QueryFullProcessImageNameW(process, 0, path, &size) &&
                       EqualsNoCase(FileNameOf(path), L"DorviVaultick.exe");
    CloseHandle(process);
    return named;
}

HWND StoredMainWindow() {
    const int handle = ReadWindowHandle();
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
}

}  // namespace

void MainWindow::StartUp() {
    StartUpFacts facts = GatherStartUpFacts();
    StartUpAction action = DecideStartUp(facts);
    if (action != StartUpAction::EndSilently) {
        InstallHelpViewer(context_.programFolder + L"\\DorviVaultick.Hlp");
        ForceFolders(context_.dataFolder);
    }
    if (action == StartUpAction::RestartWithManifest && !RestartWithManifest()) {
        facts.manifestRestartFailed = true;
        action = DecideStartUp(facts);
    }
    if (EndsBeforeWindow(action)) {
        terminate_ = true;
        return;
    }

    const std::optional<StartUpSettings> settings = ReadStartUpSettings();
    if (settings) programOnBox_.SetChecked(settings->programOn);
    firstRun_ = FirstRunDue(settings);

    if (action == StartUpAction::OpenRemovalDialog) {
        OpenInstallDialog(Handle(), InstallMode::Uninstall);
        terminate_ = true;
        return;
    }

    PrepareWindow();
    if (!AutomaticRunsAllowed(StartedElevatedFromSplitToken())) {
        scheduler_.AllowAutomaticRuns(false);
        ShowMessage(kElevatedStartNotice, kNotifyInformation);
    }
    if (trayOn_) tray_.Apply(TrayIconCommand::Show);
    if (action == StartUpAction::StartHidden) {
        showAtStart_ = false;
        app_.HideMainForm();
        scheduler_.RunStartupJobs(programOnBox_.Checked());
        UpdateActivationDisplay();
    }

    WriteWindowHandle(static_cast<int>(reinterpret_cast<INT_PTR>(Handle())));
}

StartUpFacts MainWindow::GatherStartUpFacts() {
    const std::wstring& folder = context_.programFolder;
    StartUpFacts facts;
    facts.programFileName = FileNameOf(ModuleFileName());
    facts.firstArgument = context_.firstArgument;
    // A process showing the help alone has the same file name but holds no mark: it is not a
    // copy. A mark that cannot be opened at all (an elevated copy's, say) leaves the count to
    // decide.
    HANDLE mark = CreateMutexW(nullptr, FALSE, L"Local\\DorviVaultick");
    const bool markWasFree = mark && GetLastError() != ERROR_ALREADY_EXISTS;
    runningMark_.reset(mark);
    facts.otherCopyRunning = !markWasFree && CountProcessesInOwnSession(L"DorviVaultick.exe") > 1;
    if (facts.otherCopyRunning) {
        otherCopyWindow_ = StoredMainWindow();
        facts.otherCopyWindowKnown = otherCopyWindow_ && IsRunningMainWindow(otherCopyWindow_);
    }
    facts.uninstallerPresent = FileExists(folder + L"\\Sweepex.exe");
    facts.manifestPresent = FileExists(folder + L"\\DorviVaultick.exe.manifest");
    facts.manifestSupported = IsXPOrLater();
    return facts;
}

bool MainWindow::EndsBeforeWindow(StartUpAction action) {
    switch (action) {
        case StartUpAction::HandOverToOtherCopy:
            PostMessageW(otherCopyWindow_, kHandOverMessage,
                         context_.firstArgument == kRemovalArgument ? kHandOverShowRemoval : kHandOverShow, 0);
            return true;
        case StartUpAction::ReportMissingUninstaller:
            ShowMessage(L"File mancante:\r" + context_.programFolder + L"\\Sweepex.exe", kNotifyError);
            return true;
        case StartUpAction::EndSilently:
        case StartUpAction::LeaveToOtherCopy:
        case StartUpAction::RestartWithManifest:  // the uninstaller starts us again
            return true;
        case StartUpAction::OpenRemovalDialog:
        case StartUpAction::StartHidden:
        case StartUpAction::StartShown:
            return false;
    }
    return false;
}

// Writes the manifest and lets the uninstaller start the program again; false when either
// failed, and start-up goes on without it.
bool MainWindow::RestartWithManifest() {
    const std::wstring& folder = context_.programFolder;
    return WriteManifest(folder) &&
           StartProgram(folder + L"\\Sweepex.exe", L"LanciaFile DorviVaultick.Exe", folder, SW_SHOWNORMAL);
}

void MainWindow::PrepareWindow() {
    WatchForHandOver();
    PlaceClock();
    for (const Control& picture : slotPictures_) picture.SetVisible(false);
    clock_.SetText(ClockText(LocalNow(), L"."));
    StartTimers();
    taskbar_.Attach(app_.Handle());
    app_.OnTaskbarButtonCreated([this] { taskbar_.ButtonCreated(); });
    manualRun_ = false;
    sourceFiles_.SetBounds(sourcePath_.Bounds());
    SelectStoredTab();
    tray_.Attach(Handle());
    ReloadSchedule();
    NoteAbsenceSinceLastRun();
    ShowJobPage(selectedAtStart_ + 1);
    UpdateTitleAndClock();
}

void MainWindow::NoteAbsenceSinceLastRun() {
    const double now = ToDateTime(LocalNow());
    const ProgramPresence presence = ReadProgramPresence();
    if (const auto since = AbsentSince(presence.lastSeen, presence.suspended, now))
        scheduler_.NoteAbsence({*since, now});
    if (presence.suspended) ForgetSuspended();
    lastSeen_ = now;
}

void MainWindow::StartTimers() {
    AddTimer(scheduleTimer_, kScheduleTimer, 55000, true, [this] { OnScheduleTick(); });
    AddTimer(clockTimer_, kClockTimer, 30000, true, [this] { OnClockTimer(); });
    AddTimer(installTimer_, kInstallTimer, 100, false, [this] { OnInstallTimer(); });
    AddTimer(tray_.BalloonTimer(), kBalloonTimer, kUnreportedBalloonMs, false, [this] { tray_.BalloonTimedOut(); });
    AddTimer(progressTimer_, kProgressTimer, kFailedProgressMs, false, [this] { OnProgressTimer(); });
}

void MainWindow::SelectStoredTab() {
    int selected = ReadSelectedPage();
    showDuringRun_ = ReadShowDuringRun();
    if (selected > 4 || selected < 0) selected = 0;
    jobTabs_.SetSelected(selected);
    selectedAtStart_ = selected;
}

void MainWindow::PlaceClock() {
    statusBar_.SetPanels({});  // recomputed below once the bar has its size
    SendMessageW(statusBar_.Handle(), WM_SIZE, 0, 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int panel0Right = client.right - 64;
    statusBar_.SetPanels({panel0Right, -1});
    const RECT bar = statusBar_.Bounds();
    const int height = bar.bottom - bar.top - 6;
    SetWindowPos(clock_.Handle(), HWND_TOP, panel0Right + 3, bar.top + 3, client.right - panel0Right - 20, height, 0);
}

void MainWindow::WatchForHandOver() {
    g_handOverWindow = Handle();
    if (!g_handOverHook) g_handOverHook = SetWindowsHookExW(WH_GETMESSAGE, &TakePostedHandOver, nullptr, GetCurrentThreadId());
}

void MainWindow::StopWatchingForHandOver() {
    if (g_handOverHook) UnhookWindowsHookEx(g_handOverHook);
    g_handOverHook = nullptr;
    g_handOverWindow = nullptr;
}

}  // namespace vt
