// The main window's part in the runs: it carries out what the scheduler asks for, shows
// itself around a run, and ends the session once the runs it waited for are over.
#include "app/MainWindow.h"

#include <exception>

#include "app/MissedRun.h"
#include "engine/BackupEngine.h"
#include "settings/JobValues.h"
#include "settings/ProgramValues.h"
#include "win/BusyCursor.h"
#include "win/Clock.h"
#include "win/DateTime.h"

namespace vt {

namespace {

// Shown by the system's shutdown screen while a backup keeps the session from ending.
constexpr wchar_t kShutdownBlockReason[] = L"ATTENDERE! Backup in corso...";

}  // namespace

void MainWindow::ExecuteRun(const RunRequest& request) {
    if (!engine_) return;
    manualRun_ = request.manual;
    runSlot_ = request.slot;
    const std::wstring leadLine = request.missedMinute.empty() ? L"" : MissedRunLine(request.missedMinute);
    try {
        switch (request.kind) {
            case RunRequest::Job: engine_->RunJob(request.slot, leadLine); break;
            case RunRequest::IfHoursElapsed: engine_->RunIfHoursElapsed(request.slot); break;
            case RunRequest::IfDaysElapsed: engine_->RunIfDaysElapsed(request.slot); break;
        }
    } catch (const std::exception&) {
        // The log could not be written: the run stopped there. The window must come back
        // usable and the next runs still run.
        SetBusyCursor(false);
    }
    manualRun_ = false;
    if (const auto run = engine_->TakeLastRun()) {
        RecordLastRun(*run, runStarted_);
        TellRunOutcome(*run);
    }
}

void MainWindow::RecordLastRun(const RunRecord& run, double started) {
    // The program is going, perhaps removed with its settings: nothing is written back.
    if (scheduler_.Stopped()) return;
    RunOutcome outcome = RunOutcome::Completed;
    if (run.Failed()) outcome = RunOutcome::WithErrors;
    else if (run.stoppedByUser) outcome = RunOutcome::Stopped;
    WriteLastRunOutcome(run.slot, {started, outcome});
    ShowLastRun(SelectedSlot());
}

void MainWindow::AfterRuns(bool sessionEndWaited) {
    ShutdownBlockReasonDestroy(Handle());
    // Windows 8 and later do not ask again: their shutdown screen waits for the user.
    if (sessionEndWaited) EndForSession();
}

void MainWindow::TellRunOutcome(const RunRecord& run) {
    // The window is going, or the session is: no icon is added now.
    if (scheduler_.Stopped()) return;
    const std::optional<RunNotice> notice = NoticeAfterRun(run, log_.Enabled(), log_.Path());
    taskbar_.Set(notice ? TaskbarProgress::Failed : TaskbarProgress::None);
    progressTimer_.SetEnabled(notice.has_value());
    if (notice) tray_.ShowRunNotice(*notice);
}

void MainWindow::OnProgressTimer() {
    progressTimer_.SetEnabled(false);
    taskbar_.Set(TaskbarProgress::None);
}

void MainWindow::NoteSeen() {
    lastSeen_ = ToDateTime(LocalNow());
    StoreSeen();
}

void MainWindow::StoreSeen() {
    // A stretch still waiting to be made up is kept for the next start.
    const auto waiting = scheduler_.AbsentSince();
    WriteLastSeen(waiting && *waiting < lastSeen_ ? *waiting : lastSeen_);
}

void MainWindow::OnScheduleTick() {
    // The taskbar may have come without announcing itself.
    tray_.ShowUntoldNotice();
    const std::wstring shown = clock_.Text();
    lastSeen_ = SeenUntil(ToDateTime(LocalNow()), shown);
    const std::vector<RunRequest> due = scheduler_.TakeDue(programOnBox_.Checked(), shown);
    // Before any run: a run cut short by a crash does not make its minute missed again.
    StoreSeen();
    scheduler_.RequestAll(due);
}

LRESULT MainWindow::OnQueryEndSession() {
    UpdateAutostart();
    showDuringRun_ = ReadShowDuringRun();
    ShutdownBlockReasonCreate(Handle(), kShutdownBlockReason);
    // A backup is being made: the reason stays until the queue is empty, and the program then
    // ends by itself.
    if (scheduler_.QueryEndSession(programOnBox_.Checked()) == Scheduler::SessionEnd::AfterRuns) return FALSE;
    EndForSession();
    return TRUE;
}

void MainWindow::OnPowerBroadcast(WPARAM event) {
    const double now = ToDateTime(LocalNow());
    if (event == PBT_APMSUSPEND) {
        // What the last tick saw, not now: a minute begun since is not started yet, and a notice
        // handled late, after the wake, must not cover the time asleep.
        const auto waiting = scheduler_.AbsentSince();
        WriteSuspended(waiting && *waiting < lastSeen_ ? *waiting : lastSeen_);
    } else if (event == PBT_APMRESUMEAUTOMATIC) {
        // Every wake brings this one; the one for a user's wake follows it and adds nothing.
        if (lastSeen_ > 0.0) scheduler_.NoteAbsence({lastSeen_, now});
        ForgetSuspended();
        PostMessageW(Handle(), kResumeTick, 0, 0);
    }
}

void MainWindow::OnResumeTick() {
    // The clock text is as it was when the computer went to sleep.
    OnClockTimer();
    OnScheduleTick();
}

void MainWindow::EndForSession() {
    NoteSeen();
    // The runs behind a refused query may have changed what the entry should say.
    UpdateAutostart();
    ShutdownBlockReasonDestroy(Handle());
    EndProgram();
}

void MainWindow::AppendLog(const std::wstring& line) { log_.Append(line); }

void MainWindow::SetStatusText(const std::wstring& text) {
    statusBar_.SetPanelText(0, text);
    // The engine works without pumping messages; its status shows at once.
    UpdateWindow(statusBar_.Handle());
}

void MainWindow::SetClockText(const std::wstring& text) {
    clock_.SetText(text);
    UpdateWindow(clock_.Handle());
}

void MainWindow::Repaint() { RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// With "Mostra" off the window stays hidden during the runs the program starts by itself; a
// run started with "Avvia" finds it shown anyway.
bool MainWindow::WindowSuppressedForRun() const { return !showDuringRun_ && !manualRun_; }

void MainWindow::ShowForRun() {
    // The run begins: one cut short by a crash or a power loss reads as one with errors, not as
    // the last one that ended well. The program going may have removed its settings.
    runStarted_ = ToDateTime(LocalNow());
    if (!scheduler_.Stopped()) WriteLastRunOutcome(runSlot_, {runStarted_, RunOutcome::WithErrors});
    progressTimer_.SetEnabled(false);
    taskbar_.Set(TaskbarProgress::Busy);
    // "Mostra" may be read again inside the run; HideAfterRun follows what was done here.
    shownForRun_ = !WindowSuppressedForRun();
    if (!shownForRun_) return;
    // Minimised, the window is hidden too, but its taskbar button stays.
    if (app_.IsMinimized()) stateBeforeRun_ = WindowState::Minimised;
    else if (IsWindowVisible(Handle())) stateBeforeRun_ = WindowState::Shown;
    else stateBeforeRun_ = WindowState::Hidden;
    app_.BringUp();
    UpdateWindow(Handle());
}

void MainWindow::HideAfterRun() {
    if (!shownForRun_) return;
    shownForRun_ = false;
    switch (stateBeforeRun_) {
        case WindowState::Shown: return;
        case WindowState::Minimised: app_.Minimize(); return;
        case WindowState::Hidden:
            if (trayOn_) tray_.Apply(TrayIconCommand::Show);
            app_.HideMainForm();
            return;
    }
}

void MainWindow::SetBusyCursor(bool busy) { vt::SetBusyCursor(busy); }

bool MainWindow::JobEnabled(int slot) const { return scheduler_.Snapshot().Job(slot).enabled; }

}  // namespace vt
