#pragma once
// The schedule and the runs it asks for: one run at a time, the others waiting their turn in
// the order asked. The main window drives it with its ticks, its buttons and the session end,
// and carries out each run.
#include <functional>
#include <optional>
#include <string>

#include "app/MissedRun.h"
#include "app/RunQueue.h"
#include "app/Schedule.h"

namespace vt {

class Scheduler {
public:
    // Carries out one run; may run the message loop, and so ask for more runs meanwhile.
    using Runner = std::function<void(const RunRequest&)>;
    // Called when the queue has run dry; true when a session end waited for it.
    using Drained = std::function<void(bool sessionEndWaited)>;

    Scheduler(Runner runner, Drained drained) : runner_(std::move(runner)), drained_(std::move(drained)) {}

    ScheduleSnapshot& Snapshot() { return snapshot_; }
    const ScheduleSnapshot& Snapshot() const { return snapshot_; }

    // Runs the request now, or, asked inside a run, once the runs before it are over. With
    // automatic runs turned off only a request made by hand ("Avvia") runs.
    void Request(const RunRequest& request);
    void AllowAutomaticRuns(bool allowed) { automaticRuns_ = allowed; }
    // The schedule tick: the jobs missed in the absences noted since the last tick, then the
    // runs due for this clock text.
    void Tick(bool programOn, const std::wstring& clockText) { RequestAll(TakeDue(programOn, clockText)); }
    // Tick in two steps, for a caller that records what it saw before the runs begin. With
    // automatic runs refused the absence stays for a later tick or start.
    std::vector<RunRequest> TakeDue(bool programOn, const std::wstring& clockText);
    void RequestAll(const std::vector<RunRequest>& requests);
    // The program did not see the clock for a while (it was not running, or the computer
    // slept); the next tick makes up what the jobs that ask for it missed.
    void NoteAbsence(const Absence& absence) { absence_ = Joined(absence_, absence); }
    bool AbsencePending() const { return absence_.has_value(); }
    // Where the absence not yet made up begins.
    std::optional<double> AbsentSince() const;
    void RunStartupJobs(bool programOn) { RunJobsFlagged(programOn, &ScheduledJob::atStartup); }

    enum class SessionEnd { Now, AfterRuns };
    // The session is ending: the shutdown jobs are asked for once per session end. A run in
    // progress makes the session wait for the queue to run dry.
    SessionEnd QueryEndSession(bool programOn);
    // The session end was cancelled: the next one runs its own jobs.
    void SessionEndCancelled();

    // The program is ending: the run in progress finishes, nothing more starts.
    void Stop() { stopped_ = true; }
    bool Stopped() const { return stopped_; }
    bool Running() const { return draining_; }

private:
    // The enabled jobs with this flag, in slot order, when the program is on.
    void RunJobsFlagged(bool programOn, bool ScheduledJob::*when);

    Runner runner_;
    Drained drained_;
    ScheduleSnapshot snapshot_;
    RunQueue queue_;
    bool draining_ = false;
    bool stopped_ = false;
    bool automaticRuns_ = true;
    std::optional<Absence> absence_;
    bool shutdownJobsTaken_ = false;  // this session end's jobs have run or wait in the queue
    bool sessionEndWaiting_ = false;  // a session end was refused for the runs in the queue
};

}  // namespace vt
