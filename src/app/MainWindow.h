#pragma once
// The main window: the job page of the selected slot, the global switch, the clock, and the
// start-up sequence of the program. The schedule and its runs live in the scheduler, the tray
// icon in ProgramTray; the window wires them to its controls.
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/JobPageForm.h"
#include "app/LogFile.h"
#include "app/ProgramTray.h"
#include "app/Scheduler.h"
#include "app/StartUpDecision.h"
#include "app/TaskbarProgress.h"
#include "app/WindowMessages.h"
#include "engine/RunHost.h"
#include "win/Application.h"
#include "win/ChildPage.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class BackupEngine;
struct RunRecord;

struct StartUpContext {
    std::wstring programFolder;
    std::wstring dataFolder;
    std::wstring firstArgument;
};

class MainWindow : public Form, public RunHost {
public:
    MainWindow(StartUpContext context, Application& app);
    void SetEngine(BackupEngine* engine) { engine_ = engine; }
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

    int SelectedSlot() const { return jobTabs_.Selected() + 1; }
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
    // Start-up (MainWindowStartUp.cpp).
    void StartUp();
    StartUpFacts GatherStartUpFacts();
    // The actions that end the program before its window is used; true when it ends.
    bool EndsBeforeWindow(StartUpAction action);
    bool RestartWithManifest();
    void PrepareWindow();
    void StartTimers();
    // What passed since the program last saw the clock, for the first tick to make up.
    void NoteAbsenceSinceLastRun();
    void SelectStoredTab();
    void PlaceClock();
    void WatchForHandOver();
    void StopWatchingForHandOver();

    void AttachControls();
    void SetHints();
    void OnActivated();
    void ShowJobPage(int slot);
    void ShowLastRun(int slot);
    void StoreJobEnabled();
    void UpdateActivationDisplay();
    void UpdateTitleAndClock();
    void ReloadSchedule();
    void UpdateAutostart();
    void CloseWindow();
    bool StaysResident() const;
    // Ends the message loop once the run in progress, if any, is over; nothing queued starts.
    void EndProgram();

    // Runs (MainWindowRuns.cpp).
    void ExecuteRun(const RunRequest& request);
    void AfterRuns(bool sessionEndWaited);
    // After a run: the balloon and the taskbar button tell of failures.
    void TellRunOutcome(const RunRecord& run);
    // After a run: its start and result stay in the job's section, and on the page.
    void RecordLastRun(const RunRecord& run, double started);
    void OnProgressTimer();
    void OnScheduleTick();
    LRESULT OnQueryEndSession();
    // Sleep and wake: the time asleep is an absence the next tick makes up.
    void OnPowerBroadcast(WPARAM event);
    void OnResumeTick();
    // The program sees the clock: a later start counts its absence from here.
    void NoteSeen();
    // "UltimoControllo": the last moment seen, or where a stretch not yet made up begins.
    void StoreSeen();
    // What an accepted session end does last: the autostart entry, and the program ends.
    void EndForSession();

    // The tray menu's items (MainWindowTray.cpp).
    void OnTrayCommand(TrayMenuCommand command);
    void OnOpenWindowChosen();
    void OnSetUpJobsChosen();
    void OnToggleProgramChosen();
    void OnCloseProgramChosen();

    void OnJobTabChanged();
    void OnJobEnabledClicked();
    void OnProgramOnClicked();
    void OnRunNowClicked();
    void OnAboutClicked();
    void OnSetUpClicked();
    void OnInstallationClicked();
    void OnHelpClicked();
    void OnExitClicked();
    void OnClockTimer();
    void OnInstallTimer();
    bool OnSysCommand(WPARAM command);
    INT_PTR PaintClock(HDC dc);
    void HandOver(WPARAM request);
    // The user brought the window up: a run in progress leaves it up when it ends.
    void BringUpForUser();
    void OpenUninstallDialog();

    StartUpContext context_;
    Application& app_;
    BackupEngine* engine_ = nullptr;
    bool terminate_ = false;
    bool showAtStart_ = true;
    bool firstRun_ = false;
    bool showDuringRun_ = true;
    bool trayOn_ = false;
    bool manualRun_ = false;
    int selectedAtStart_ = 0;
    HWND otherCopyWindow_ = nullptr;
    // How the window was when the run in progress began, to be put back after it.
    enum class WindowState { Shown, Minimised, Hidden } stateBeforeRun_ = WindowState::Shown;
    // ShowForRun acted for the run in progress: only then does HideAfterRun.
    bool shownForRun_ = false;
    // Held by a full start as long as it runs; a start that shows the help alone never takes it.
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> runningMark_{nullptr, &CloseHandle};
    bool removalPending_ = false;
    Scheduler scheduler_;
    LogFile log_;
    COLORREF clockColour_ = RGB(0, 0, 0);
    // The last moment this program saw the clock: a tick, or the computer going to sleep.
    double lastSeen_ = 0.0;
    // The job of the run in progress and the moment it began.
    int runSlot_ = 1;
    double runStarted_ = 0.0;

    TabControl jobTabs_;
    JobPageForm jobPage_;
    std::array<Control, 5> slotPictures_;
    Label sourceTitle_, destinationTitle_, scheduleTitle_;
    Edit sourcePath_, destinationPath_, scheduleText_;
    ComboBox sourceFiles_;  // a FileList job's files, in the place of the source path
    CheckBox jobEnabledBox_, programOnBox_;
    Button runNowButton_, aboutButton_, setUpButton_, installationButton_, helpButton_, exitButton_;
    StatusBar statusBar_;
    Label clock_;
    Timer scheduleTimer_, clockTimer_, installTimer_, progressTimer_;
    ProgramTray tray_;
    TaskbarProgress taskbar_;
};

}  // namespace vt
