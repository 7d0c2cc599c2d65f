#include "app/Scheduler.h"

#include <utility>

namespace vt {

void Scheduler::Request(const RunRequest& request) {
    if (stopped_ || (!request.manual && !automaticRuns_)) return;
    queue_.Push(request);
    // A request made inside a run's message loop waits for the run in progress to end.
    if (draining_) return;
    draining_ = true;
    while (!stopped_) {
        const auto next = queue_.Pop();
        if (!next) break;
        runner_(*next);
    }
    draining_ = false;
    if (drained_) drained_(std::exchange(sessionEndWaiting_, false));
}

void Scheduler::Tick(bool programOn, const std::wstring& clockText) {
    for (const RunRequest& request : DueAtTick(snapshot_, programOn, clockText)) Request(request);
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
