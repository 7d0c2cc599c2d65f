#include "app/Scheduler.h"

#include <utility>

#include "app/KeepAwake.h"
#include "win/Clock.h"
#include "win/DateTime.h"

namespace vt {

namespace {
constexpr double kOneSecond = 1.0 / 86400.0;
}  // namespace

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

std::vector<RunRequest> Scheduler::TakeDue(bool programOn, const std::wstring& clockText) {
    std::vector<RunRequest> due;
    if (absence_ && automaticRuns_) {
        const double now = ToDateTime(LocalNow());
        for (const MissedRun& missed : MissedRuns(snapshot_, *absence_, now, programOn)) {
            ScheduledJob& job = snapshot_.Job(missed.slot);
            const std::wstring minute = missed.minute.substr(0, 2) + missed.minute.substr(3, 2);
            // Started at that minute already (the absence was noted wrong): not twice.
            if (job.atTimeStartedMinute == minute && job.atTimeStartedAt >= missed.at - kOneSecond &&
                job.atTimeStartedAt - missed.at < kSameMinuteDays)
                continue;
            // Stamped with the minute's own moment: the clock text still showing it does not start
            // it again, and the same minute on a later day does.
            job.atTimeStartedMinute = minute;
            job.atTimeStartedAt = missed.at;
            due.push_back({RunRequest::Job, missed.slot, false, missed.minute});
        }
        absence_.reset();
    }
    for (RunRequest& request : DueAtTick(snapshot_, programOn, clockText)) due.push_back(std::move(request));
    return due;
}

void Scheduler::RequestAll(const std::vector<RunRequest>& requests) {
    for (const RunRequest& request : requests) Request(request);
}

std::optional<double> Scheduler::AbsentSince() const {
    if (!absence_) return std::nullopt;
    return absence_->from;
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
