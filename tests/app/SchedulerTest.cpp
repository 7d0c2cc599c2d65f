#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

#include "app/KeepAwake.h"
#include "app/Scheduler.h"
#include "app/StartUpDecision.h"

namespace vt {
namespace {

using Requests = std::vector<RunRequest>;

// Records the runs as the engine would make them; a run may do what the message loop inside
// it lets happen (ticks, clicks, the session end) through `during`.
class SchedulerTest : public ::testing::Test {
protected:
    Requests ran_;
    std::vector<bool> drained_;
    std::vector<bool> manual_;
    int depth_ = 0, deepest_ = 0;
    std::function<void(const RunRequest&)> during_;
    Scheduler scheduler_{[this](const RunRequest& request) { Run(request); },
                         [this](bool sessionEndWaited) { drained_.push_back(sessionEndWaited); }};

    void Run(const RunRequest& request) {
        deepest_ = std::max(deepest_, ++depth_);
        ran_.push_back(request);
        manual_.push_back(request.manual);
        if (during_) during_(request);
        --depth_;
    }
    void Enable(int slot, bool ScheduledJob::*when) {
        ScheduledJob& job = scheduler_.Snapshot().Job(slot);
        job.enabled = true;
        job.*when = true;
    }
};

TEST_F(SchedulerTest, WhatIsAskedForInsideARunWaitsForItAndRunsOnce) {
    scheduler_.Snapshot().Job(2).everyNHours = true;
    scheduler_.Snapshot().Job(2).everyNDays = true;
    during_ = [&](const RunRequest&) {
        if (ran_.size() != 1) return;
        // Two ticks and a click on "Avvia" for the same job while slot 4 runs.
        scheduler_.Tick(true, L"12.00");
        scheduler_.Tick(true, L"12.01");
        scheduler_.Request({RunRequest::Job, 4, true});
        EXPECT_TRUE(scheduler_.Running());
    };
    scheduler_.Request({RunRequest::Job, 4, true});
    const Requests expected{{RunRequest::Job, 4}, {RunRequest::IfHoursElapsed, 2}, {RunRequest::IfDaysElapsed, 2},
                            {RunRequest::Job, 4}};
    EXPECT_EQ(ran_, expected);
    EXPECT_EQ(deepest_, 1);
    EXPECT_EQ(manual_, (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(drained_, std::vector<bool>{false});
    EXPECT_FALSE(scheduler_.Running());

    // Switched off, a tick asks for nothing; the queue is empty again and a new request runs.
    scheduler_.Tick(false, L"12.02");
    EXPECT_EQ(ran_.size(), 4u);
}

TEST_F(SchedulerTest, NothingStartsOnceStopped) {
    during_ = [&](const RunRequest& request) {
        if (request.slot == 1) {
            scheduler_.Request({RunRequest::Job, 2});
            scheduler_.Stop();
        }
    };
    scheduler_.Request({RunRequest::Job, 1});
    scheduler_.Request({RunRequest::Job, 3});
    EXPECT_EQ(ran_, (Requests{{RunRequest::Job, 1}}));
    EXPECT_TRUE(scheduler_.Stopped());
}

TEST_F(SchedulerTest, StartupAndShutdownJobsNeedTheProgramOnAndTheJobEnabled) {
    Enable(2, &ScheduledJob::atShutdown);
    Enable(5, &ScheduledJob::atShutdown);
    Enable(3, &ScheduledJob::atStartup);
    scheduler_.Snapshot().Job(4).atShutdown = true;  // not enabled
    scheduler_.Snapshot().Job(1).atStartup = true;

    scheduler_.RunStartupJobs(false);
    EXPECT_TRUE(ran_.empty());
    scheduler_.RunStartupJobs(true);
    EXPECT_EQ(ran_, (Requests{{RunRequest::Job, 3}}));

    ran_.clear();
    EXPECT_EQ(scheduler_.QueryEndSession(false), Scheduler::SessionEnd::Now);
    EXPECT_TRUE(ran_.empty());
    scheduler_.SessionEndCancelled();
    EXPECT_EQ(scheduler_.QueryEndSession(true), Scheduler::SessionEnd::Now);
    EXPECT_EQ(ran_, (Requests{{RunRequest::Job, 2}, {RunRequest::Job, 5}}));
}

// Started as administrator (Windows' split token; Wine gives every program that token, so the
// facts are the decision's input here): only "Avvia" runs a job.
TEST_F(SchedulerTest, AnElevatedStartRunsOnlyWhatTheUserStartsByHand) {
    EXPECT_TRUE(AutomaticRunsAllowed(false));
    EXPECT_FALSE(AutomaticRunsAllowed(true));
    scheduler_.AllowAutomaticRuns(AutomaticRunsAllowed(true));
    Enable(1, &ScheduledJob::atStartup);
    Enable(2, &ScheduledJob::atShutdown);
    Enable(3, &ScheduledJob::atTime);
    scheduler_.Snapshot().Job(3).time = L"12:00";
    scheduler_.Snapshot().Job(4).everyNHours = true;
    scheduler_.Snapshot().Job(5).everyNDays = true;
    during_ = [&](const RunRequest&) { scheduler_.Tick(true, L"12.00"); };
    scheduler_.RunStartupJobs(true);
    scheduler_.Tick(true, L"12.00");
    EXPECT_EQ(scheduler_.QueryEndSession(true), Scheduler::SessionEnd::Now);
    EXPECT_TRUE(ran_.empty());
    scheduler_.Request({RunRequest::Job, 3, true});
    EXPECT_EQ(ran_, (Requests{{RunRequest::Job, 3}}));
}

TEST_F(SchedulerTest, ASessionEndDuringARunWaitsForTheQueueAndRunsItsJobsOnce) {
    Enable(2, &ScheduledJob::atShutdown);
    Enable(5, &ScheduledJob::atShutdown);
    during_ = [&](const RunRequest& request) {
        if (request.slot != 1) return;
        EXPECT_EQ(scheduler_.QueryEndSession(true), Scheduler::SessionEnd::AfterRuns);
        // The system asks again: the jobs are not queued a second time.
        EXPECT_EQ(scheduler_.QueryEndSession(true), Scheduler::SessionEnd::AfterRuns);
    };
    scheduler_.Request({RunRequest::Job, 1});
    EXPECT_EQ(ran_, (Requests{{RunRequest::Job, 1}, {RunRequest::Job, 2}, {RunRequest::Job, 5}}));
    EXPECT_EQ(drained_, std::vector<bool>{true});

    // The same session end asked after the runs: nothing runs again, the session may end.
    ran_.clear();
    EXPECT_EQ(scheduler_.QueryEndSession(true), Scheduler::SessionEnd::Now);
    EXPECT_TRUE(ran_.empty());

    // Cancelled, the next session end runs its own jobs; a wait cancelled in turn is forgotten.
    scheduler_.SessionEndCancelled();
    ran_.clear();
    during_ = [&](const RunRequest& request) {
        if (request.slot != 3) return;
        EXPECT_EQ(scheduler_.QueryEndSession(true), Scheduler::SessionEnd::AfterRuns);
        scheduler_.SessionEndCancelled();
    };
    scheduler_.Request({RunRequest::Job, 3});
    EXPECT_EQ(drained_.back(), false);
    EXPECT_EQ(ran_, (Requests{{RunRequest::Job, 3}, {RunRequest::Job, 2}, {RunRequest::Job, 5}}));
}

// The computer stays awake for each run and no longer, also when the run ends in a raised failure.
TEST_F(SchedulerTest, EachRunKeepsTheComputerAwakeUntilItEnds) {
    std::vector<EXECUTION_STATE> asked;
    SetExecutionStateSeam([&](EXECUTION_STATE state) { asked.push_back(state); });
    const EXECUTION_STATE awake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;
    std::vector<size_t> askedWhenRunning;
    during_ = [&](const RunRequest& request) {
        askedWhenRunning.push_back(asked.size());
        EXPECT_EQ(asked.back(), awake);
        if (request.slot == 3) throw std::runtime_error("log not writable");
    };
    scheduler_.Request({RunRequest::Job, 1, true});
    EXPECT_EQ(asked, (std::vector<EXECUTION_STATE>{awake, ES_CONTINUOUS}));
    EXPECT_THROW(scheduler_.Request({RunRequest::Job, 3, true}), std::runtime_error);
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked.back(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
    // The schedule goes on after it.
    EXPECT_FALSE(scheduler_.Running());
    scheduler_.Request({RunRequest::Job, 2, true});
    EXPECT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked.back(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
    EXPECT_EQ(askedWhenRunning, (std::vector<size_t>{1, 3, 5}));
    SetExecutionStateSeam(nullptr);
}

}  // namespace
}  // namespace vt
