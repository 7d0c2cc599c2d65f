#include "app/Scheduler.h"

#include <utility>

#include "app/KeepAwake.h"
#include "win/Clock.h"
#include "win/DateTime.h"

namespace vt {

void Scheduler::Request(const RunRequest& request) {
    if (stopped_ || (!request.manual && !automaticRuns_)) return;
    queue_.Push(request);
    // A request made inside a run's message loop waits for the run in progress to end.
    if (draining_) return;
    draining_ = true;
    try {
        while (!stopped_) {
            const auto next = queue_.Pop();
            if (!next) break;
            const AwakeDuringRun awake;
            runner_(*next);
        }
    } catch (...) {
        // The runs behind it still run at the next request, not never.
        draining_ = false;
        throw;
    }
    draining_ = false;
    if (drained_) drained_(std::exchange(sessionEndWaiting_, false));
}

void Scheduler::Tick(bool programOn, const std::wstring& clockText) {
    std::vector<RunRequest> due;
    if (absence_) {
        const double now = ToDateTime(LocalNow());
        for (const MissedRun& missed : MissedRuns(snapshot_, *absence_, now, programOn)) {
            // The clock text may still show the minute made up: this tick must not start it again.
            ScheduledJob& job = snapshot_.Job(missed.slot);
            job.atTimeStartedMinute = missed.minute.substr(0, 2) + missed.minute.substr(3, 2);
            job.atTimeStartedAt = now;
            due.push_back({RunRequest::Job, missed.slot, false, missed.minute});
        }
        absence_.reset();
    }
    for (RunRequest& request : DueAtTick(snapshot_, programOn, clockText)) due.push_back(std::move(request));
    for (const RunRequest& request : due) Request(request);
}

void Scheduler::RunJobsFlagged(bool programOn, bool ScheduledJob::*when) {
    if (!programOn) return;
    for (int slot = 1; slot <= kJobCount; ++slot)
        if (snapshot_.Job(slot).*when && snapshot_.Job(slot).enabled) Request({RunRequest::Job, slot});
}

Scheduler::SessionEnd Scheduler::QueryEndSession(bool programOn) {
    // Asked again (a query refused earlier), the jobs are not run a second time.
    if (!shutdownJobsTaken_) {
        shutdownJobsTaken_ = true;
        // Inside a run's message loop these wait in the queue behind the backup in progress.
        RunJobsFlagged(programOn, &ScheduledJob::atShutdown);
    }
    // A backup is being made: the session may end when it and the jobs behind it are done,
    // not in the middle of them.
    if (!draining_) return SessionEnd::Now;
    sessionEndWaiting_ = true;
    return SessionEnd::AfterRuns;
}

void Scheduler::SessionEndCancelled() {
    sessionEndWaiting_ = false;
    shutdownJobsTaken_ = false;
}

}  // namespace vt
