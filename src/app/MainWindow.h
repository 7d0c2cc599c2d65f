#pragma once
// The main window: the job page of the selected slot, the global switch, the clock, and the
// start-up sequence of the program.
#include <array>
#include <memory>
#include <string>

#include "app/JobPage.h"
#include "app/LogFile.h"
#include "app/RunQueue.h"
#include "app/RunNotice.h"
#include "app/Schedule.h"
#include "app/TaskbarProgress.h"
#include "engine/RunHost.h"
#include "win/Controls.h"
#include "win/Application.h"
#include "win/ChildPage.h"
#include "win/Form.h"
#include "win/TrayIcon.h"

namespace vt {

class TFormBackup;

// The hand-over message a second copy posts to the first: parameter 0 shows the window,
// 1 shows it and opens the removal dialog.
inline constexpr UINT kHandOverMessage = WM_USER;
// What a posted hand-over becomes once taken from the queue. The dialog manager sends the same
// number (DM_GETDEFID) to the window itself, and that one must keep its dialog answer.
inline constexpr UINT kHandOverTaken = WM_APP + 2;
// The tray icon's mouse events.
inline constexpr UINT kTrayMessage = WM_APP + 1;
// Ids of the tray menu's items.
enum TrayMenuItem : UINT { kMostra1 = 1, kSetup1, kAttivaprogramma1, kChiudiSessione1 };

struct StartUpContext {
    std::wstring programFolder;
    std::wstring dataFolder;
    std::wstring firstArgument;
};

class TFormVaultick : public Form, public RunHost {
public:
    TFormVaultick(StartUpContext context, Application& app);
    void SetEngine(TFormBackup* engine) { engine_ = engine; }
    // True when start-up decided that the program ends at once.
    bool TerminateRequested() const { return terminate_; }
    // Whether the window is to be shown when the message loop starts.
    bool ShowAtStart() const { return showAtStart_; }

    // RunHost
    void AppendLog(const std::wstring& line) override;
    void SetStatusText(const std::wstring& text) override;
    void SetClockText(const std::wstring& text) override;
    void Repaint() override;
    void ShowForRun() override;
    void HideAfterRun() override;
    void SetBusyCursor(bool busy) override;
    bool WindowSuppressedForRun() const;
    bool JobEnabled(int slot) const override;

    int SelectedSlot() const { return TabSet1.Selected() + 1; }
    // Opens the removal dialog a hand-over asked for. The program's message loop calls it
    // between messages, so that the dialog never opens inside another window's loop or a run.
    void TakePendingRemoval();

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;
    void OnEscape() override {}
    void OnDestroy() override;
    void OnHint(const std::wstring& hint) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void AttachControls();
    void SetHints();
    void FormCreate();
    void FormActivate();
    void PlaceClock();

    void ShowJobPage(int slot);
    void StoreJobEnabled();
    void UpdateActivationDisplay();
    void UpdateTitleAndClock();
    void SetTrayIconVisible(const std::wstring& command);
    void UpdateAutostart();
    void FormClose();
    bool StaysResident() const;
    // Ends the message loop once the run in progress, if any, is over; nothing queued starts.
    void EndProgram();

    // Runs: one at a time, the others waiting in the queue (MainWindowRuns.cpp).
    void RequestRun(const RunRequest& request);
    void ExecuteRun(const RunRequest& request);
    // After a run: the balloon and the taskbar button tell of failures.
    void TellRunOutcome(const RunRecord& run);
    void TimerProgressTimer();
    void Timer1Timer();
    void RunStartupJobs();
    void RunShutdownJobs();
    // The enabled jobs with this flag, in slot order, when the program is on.
    void RunJobsFlagged(bool ScheduledJob::*when);
    LRESULT WMQueryEndSession();
    // The user cancelled the session end (or another program refused it).
    void SessionEndCancelled();
    // What an accepted session end does last: the autostart entry, and the program ends.
    void EndForSession();

    // Tray icon and its menu (MainWindowTray.cpp).
    void CreatePopupMenu1();
    void TrayMessage(LPARAM mouseMessage);
    void Mostra1Click();
    void Setup1Click();
    void Attivaprogramma1Click();
    void ChiudiSessione1Click();
    void ShowRunNotice(const RunNotice& notice);
    void BalloonClick();
    void TimerBalloonTimer();
    // A balloon has gone: the one waiting behind it, if any, now has the click and the clock.
    void AfterBalloon();
    // A notice the tray refused before, tried again.
    void ShowUntoldNotice();

    void TabSet1Click();
    void CBAbilitaClick();
    void CBAttivaClick();
    void BtnAvviaClick();
    void BtnInfoClick();
    void BtnSetupClick();
    void BitBtn1Click();
    void BtnHelpClick();
    void BtnChiudiClick();
    void TimerOroTimer();
    void TimerInstTimer();
    void HandOver(WPARAM parameter);
    // The user brought the window up: a run in progress leaves it up when it ends.
    void BringUpForUser();
    void OpenUninstallDialog();
    void WatchForHandOver();

    StartUpContext context_;
    Application& app_;
    TFormBackup* engine_ = nullptr;
    bool terminate_ = false;
    bool showAtStart_ = true;
    bool firstRun_ = false;
    bool showDuringRun_ = true;
    bool trayOn_ = false;
    bool manualRun_ = false;
    // How the window was when the run in progress began, to be put back after it.
    enum class WindowState { Shown, Minimised, Hidden } stateBeforeRun_ = WindowState::Shown;
    // ShowForRun acted for the run in progress: only then does HideAfterRun.
    bool shownForRun_ = false;
    // Held by a full start as long as it runs; a start that shows the help alone never takes it.
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> runningMark_{nullptr, &CloseHandle};
    bool removalPending_ = false;
    ScheduleSnapshot schedule_;
    LogFile log_;
    COLORREF clockColour_ = RGB(0, 0, 0);

    TabControl TabSet1;
    ChildPage Notebook1;
    std::array<Control, 5> ImageNum;
    Label Label6, Label7, Label8;
    Edit EditSorg, EditDest, Edit3;
    ComboBox FileSorg;
    CheckBox CBAbilita, CBAttiva;
    Button BtnAvvia, BtnInfo, BtnSetup, BitBtn1, BtnHelp, BtnChiudi;
    StatusBar StatusBar1;
    Label Edit2;
    Timer Timer1, TimerOro, TimerInst;
    Timer TimerBalloon, TimerProgress;
    TrayIcon trayIcon_;
    std::wstring balloonLog_;  // what a click on the balloon opens; empty: nothing
    std::wstring waitingBalloonLog_;  // the same for the balloon waiting behind the open one
    std::optional<RunNotice> untoldNotice_;  // the tray was not there: shown once it is
    TaskbarProgress taskbar_;
    HMENU PopupMenu1 = nullptr;
    RunQueue queue_;
    bool draining_ = false;
    bool ending_ = false;  // the program is closing: no run starts any more
    bool shutdownJobsTaken_ = false;  // this session end's jobs have run or wait in the queue
    bool sessionEndPending_ = false;  // a session end was refused for the runs in the queue
};

}  // namespace vt
