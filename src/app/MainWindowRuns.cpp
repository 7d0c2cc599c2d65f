// The main window's part in the runs: it carries out what the scheduler asks for, shows
// itself around a run, and ends the session once the runs it waited for are over.
#include "app/MainWindow.h"

#include <exception>

#include "engine/BackupEngine.h"
#include "settings/ProgramValues.h"
#include "win/BusyCursor.h"

namespace vt {

namespace {

// Shown by the system's shutdown screen while a backup keeps the session from ending.
constexpr wchar_t kShutdownBlockReason[] = L"ATTENDERE! Backup in corso...";

}  // namespace

void MainWindow::ExecuteRun(const RunRequest& request) {
    if (!engine_) return;
    manualRun_ = request.manual;
    try {
        switch (request.kind) {
            case RunRequest::Job: engine_->RunJob(request.slot); break;
            case RunRequest::IfHoursElapsed: engine_->RunIfHoursElapsed(request.slot); break;
            case RunRequest::IfDaysElapsed: engine_->RunIfDaysElapsed(request.slot); break;
        }
    } catch (const std::exception&) {
        // The log could not be written: the run stopped there. The window must come back
        // usable and the next runs still run.
        SetBusyCursor(false);
    }
    manualRun_ = false;
    if (const auto run = engine_->TakeLastRun()) TellRunOutcome(*run);
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

void MainWindow::OnScheduleTick() {
    // The taskbar may have come without announcing itself.
    tray_.ShowUntoldNotice();
    scheduler_.Tick(programOnBox_.Checked(), clock_.Text());
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

void MainWindow::EndForSession() {
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
