// The main window's runs: the schedule tick, the starts at logon and at the end of the
// session, and the queue that keeps one run from starting inside another.
#include "app/MainWindow.h"

#include <exception>

#include "engine/BackupEngine.h"
#include "settings/SettingsStore.h"

namespace vt {

namespace {

// Shown by the system's shutdown screen while a backup keeps the session from ending.
constexpr wchar_t kShutdownBlockReason[] = L"ATTENDERE! Backup in corso...";

}  // namespace

void TFormVaultick::RequestRun(const RunRequest& request) {
    if (ending_) return;
    queue_.Push(request);
    // A request made inside a run's message loop waits for the run in progress to end.
    if (draining_ || !engine_) return;
    draining_ = true;
    while (!ending_) {
        const auto next = queue_.Pop();
        if (!next) break;
        ExecuteRun(*next);
    }
    draining_ = false;
    ShutdownBlockReasonDestroy(Handle());
    // Windows 8 and later do not ask again: their shutdown screen waits for the user.
    if (sessionEndPending_) EndForSession();
}

void TFormVaultick::ExecuteRun(const RunRequest& request) {
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

void TFormVaultick::TellRunOutcome(const RunRecord& run) {
    // The window is going, or the session is: no icon is added now.
    if (ending_) return;
    const std::optional<RunNotice> notice = NoticeAfterRun(run, log_.Enabled(), log_.Path());
    taskbar_.Set(notice ? TaskbarProgress::Failed : TaskbarProgress::None);
    TimerProgress.SetEnabled(notice.has_value());
    if (notice) ShowRunNotice(*notice);
}

void TFormVaultick::TimerProgressTimer() {
    TimerProgress.SetEnabled(false);
    taskbar_.Set(TaskbarProgress::None);
}

void TFormVaultick::Timer1Timer() {
    // The taskbar may have come without announcing itself.
    ShowUntoldNotice();
    for (const RunRequest& request : DueAtTick(schedule_, CBAttiva.Checked(), Edit2.Text())) RequestRun(request);
}

void TFormVaultick::RunJobsFlagged(bool ScheduledJob::*when) {
    if (!CBAttiva.Checked()) return;
    for (int slot = 1; slot <= kJobCount; ++slot)
        if (schedule_.Job(slot).*when && schedule_.Job(slot).enabled) RequestRun({RunRequest::Job, slot});
}

void TFormVaultick::RunStartupJobs() { RunJobsFlagged(&ScheduledJob::atStartup); }

void TFormVaultick::RunShutdownJobs() { RunJobsFlagged(&ScheduledJob::atShutdown); }

LRESULT TFormVaultick::WMQueryEndSession() {
    UpdateAutostart();
    showDuringRun_ = SettingsStore().ReadBool(kMainSection, L"Mostra", true);
    ShutdownBlockReasonCreate(Handle(), kShutdownBlockReason);
    // Asked again (a query refused earlier), the jobs are not run a second time.
    if (!shutdownJobsTaken_) {
        shutdownJobsTaken_ = true;
        // Inside a run's message loop these wait in the queue behind the backup in progress.
        RunShutdownJobs();
    }
    // A backup is being made: the session may end when it and the jobs behind it are done, not
    // in the middle of them. The reason stays until the queue is empty, and the program then
    // ends by itself.
    if (draining_) {
        sessionEndPending_ = true;
        return FALSE;
    }
    EndForSession();
    return TRUE;
}

void TFormVaultick::SessionEndCancelled() {
    sessionEndPending_ = false;
    // The next session end runs its own jobs.
    shutdownJobsTaken_ = false;
}

void TFormVaultick::EndForSession() {
    sessionEndPending_ = false;
    // The runs behind a refused query may have changed what the entry should say.
    UpdateAutostart();
    ShutdownBlockReasonDestroy(Handle());
    EndProgram();
}

}  // namespace vt
