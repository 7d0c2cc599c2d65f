#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "app/MissedRun.h"
#include "app/Scheduler.h"
#include "win/Clock.h"
#include "win/DateTime.h"

namespace vt {
namespace {

// 3 June 2013 plus days, at hh:nn:ss.
double At(int day, int hour, int minute, int second = 0) {
    return ToDateTime(SYSTEMTIME{2013, 6, 0, static_cast<WORD>(3 + day), static_cast<WORD>(hour),
                                 static_cast<WORD>(minute), static_cast<WORD>(second), 0});
}

ScheduledJob CatchUpJob(const wchar_t* time) {
    ScheduledJob job;
    job.atTime = true;
    job.time = time;
    job.enabled = true;
    job.catchUp = true;
    return job;
}

struct Case {
    const char* what;
    Absence absence;
    double now;  // the tick that makes up
    std::vector<int> slots;
};

TEST(MissedRun, TableOfAbsences) {
    ScheduleSnapshot snapshot;
    snapshot.Job(1) = CatchUpJob(L"21:30");
    const std::vector<Case> cases{
        {"ended 21:00, started 22:00", {At(0, 21, 0), At(0, 22, 0)}, At(0, 22, 0, 55), {1}},
        {"ended 21:00, started the next day at 22:00", {At(0, 21, 0), At(1, 22, 0)}, At(1, 22, 0, 55), {1}},
        {"ended 21:00, started 21:20 the next day, first tick after an hour's start-up run",
         {At(0, 21, 0), At(1, 21, 20)}, At(1, 22, 31), {}},
        {"ended 21:00, started 21:29:40 the next day: the minute the clock shows is its own",
         {At(0, 21, 0), At(1, 21, 29, 40)}, At(1, 21, 30, 35), {}},
        {"switched off at 21:30 while running, ended 21:35", {At(0, 21, 35), At(0, 22, 0)}, At(0, 22, 1), {}},
        {"ended at the job's very second", {At(0, 21, 30), At(0, 22, 0)}, At(0, 22, 1), {}},
        {"started at the job's very second", {At(0, 21, 0), At(0, 21, 30)}, At(0, 21, 30, 55), {1}},
        {"asleep 21:10 to 21:45", {At(0, 21, 10), At(0, 21, 45)}, At(0, 21, 45, 1), {1}},
        {"asleep 21:31 to 23:00", {At(0, 21, 31), At(0, 23, 0)}, At(0, 23, 0, 1), {}},
        {"asleep over midnight", {At(0, 21, 0), At(1, 6, 0)}, At(1, 6, 0, 5), {1}},
        {"away three days", {At(0, 8, 0), At(3, 9, 0)}, At(3, 9, 1), {1}},
        {"the clock put back", {At(0, 22, 0), At(0, 21, 0)}, At(0, 21, 1), {}},
    };
    for (const Case& c : cases) {
        std::vector<int> slots;
        for (const MissedRun& missed : MissedRuns(snapshot, c.absence, c.now, true)) {
            slots.push_back(missed.slot);
            EXPECT_EQ(missed.minute, L"21:30") << c.what;
            EXPECT_GT(missed.at, c.absence.from) << c.what;
            EXPECT_LE(missed.at, c.absence.until) << c.what;
        }
        EXPECT_EQ(slots, c.slots) << c.what;
    }
    // Away over two days, the latest minute is the one made up.
    const auto twoDays = MissedRuns(snapshot, {At(0, 21, 0), At(1, 22, 0)}, At(1, 22, 1), true);
    ASSERT_EQ(twoDays.size(), 1u);
    EXPECT_NEAR(twoDays[0].at, At(1, 21, 30), 1e-9);
}

TEST(MissedRun, OnlyEnabledAtTimeJobsThatAskForItAndOnlyWithTheProgramOn) {
    ScheduleSnapshot snapshot;
    snapshot.Job(1) = CatchUpJob(L"21:30");
    snapshot.Job(2) = CatchUpJob(L"21:45");
    snapshot.Job(3) = CatchUpJob(L"21:15");
    snapshot.Job(3).catchUp = false;
    snapshot.Job(4) = CatchUpJob(L"21:20");
    snapshot.Job(4).enabled = false;
    snapshot.Job(5) = CatchUpJob(L"21:25");
    snapshot.Job(5).atTime = false;
    const Absence away{At(0, 21, 0), At(0, 22, 0)};
    const auto missed = MissedRuns(snapshot, away, At(0, 22, 1), true);
    ASSERT_EQ(missed.size(), 2u);
    EXPECT_EQ(missed[0].slot, 1);
    EXPECT_EQ(missed[1].slot, 2);
    EXPECT_EQ(missed[1].minute, L"21:45");
    EXPECT_TRUE(MissedRuns(snapshot, away, At(0, 22, 1), false).empty());
    for (const wchar_t* notATime : {L"--:--", L"", L"24:00", L"21:60", L"2:30", L"ab:cd"}) {
        snapshot.Job(1).time = notATime;
        EXPECT_EQ(MissedRuns(snapshot, away, At(0, 22, 1), true).size(), 1u) << notATime;
    }
    // The snapshot's time may keep seconds; the separator is not looked at.
    snapshot.Job(2).time = L"21.45:10";
    EXPECT_EQ(MissedRuns(snapshot, away, At(0, 22, 1), true).at(0).minute, L"21:45");
}

TEST(MissedRun, AbsencesNotYetMadeUpJoin) {
    const Absence joined = Joined(Absence{At(0, 21, 0), At(0, 21, 10)}, {At(0, 21, 40), At(0, 22, 0)});
    EXPECT_EQ(joined.from, At(0, 21, 0));
    EXPECT_EQ(joined.until, At(0, 22, 0));
    EXPECT_EQ(Joined(std::nullopt, {1.0, 2.0}).from, 1.0);
    EXPECT_EQ(MissedRunLine(L"21:30"), L"Recupero del backup delle 21:30 non eseguito");
}

// Whatever the stored moments and the job times: at most one run a job, for a minute inside the
// absence, less than a day old, showing the job's own hour and minute.
TEST(MissedRun, WhatHoldsForAnyAbsence) {
    std::mt19937 random(25);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 3000; ++round) {
        ScheduleSnapshot snapshot;
        for (ScheduledJob& job : snapshot.jobs) {
            std::wstring time;
            for (int i = 0; i < 5; ++i) time += static_cast<wchar_t>(i == 2 ? L':' : L'0' + pick(i == 0 ? 3 : 10));
            if (pick(8) == 0) time = L"--:--";
            job = CatchUpJob(time.c_str());
            job.enabled = pick(4) != 0;
            job.catchUp = pick(4) != 0;
        }
        const double base = 41000 + pick(3000) + pick(86400) / 86400.0;
        Absence away{base, base + pick(4 * 86400) / 86400.0 - (pick(10) == 0 ? 0.5 : 0.0)};
        if (pick(50) == 0) away.from = std::nan("");
        const double now = away.until + pick(3 * 86400) / 86400.0;
        // Stored moments from anywhere: a start never counts from after now.
        const double stored[] = {away.from, base + pick(6 * 86400) / 86400.0, std::nan("")};
        const auto since = AbsentSince(stored[pick(3)], stored[pick(3)], now);
        if (since) {
            ASSERT_LE(*since, now);
        }
        std::set<int> seen;
        for (const MissedRun& missed : MissedRuns(snapshot, away, now, true)) {
            const ScheduledJob& job = snapshot.Job(missed.slot);
            ASSERT_TRUE(seen.insert(missed.slot).second);
            ASSERT_TRUE(job.enabled && job.catchUp);
            ASSERT_GT(missed.at, away.from);
            ASSERT_LE(missed.at, away.until + 1e-9);
            ASSERT_GT(missed.at, now - 1.0 - 1e-9);
            const SYSTEMTIME t = FromDateTime(missed.at);
            ASSERT_EQ(ClockText(t, L":"), job.time.substr(0, 5));
            ASSERT_EQ(missed.minute, job.time.substr(0, 5));
        }
    }
}

// A tick after an absence starts a missed job once, with its minute, and the clock text still
// showing that minute does not start it again.
TEST(MissedRun, TheTickMakesUpOnceAndNotAgainForTheShownMinute) {
    SYSTEMTIME now{2013, 6, 0, 3, 21, 30, 40, 0};
    SetClockSeam([&] { return now; });
    std::vector<RunRequest> ran;
    Scheduler scheduler([&](const RunRequest& request) { ran.push_back(request); }, nullptr);
    scheduler.Snapshot().Job(2) = CatchUpJob(L"21:30");
    scheduler.NoteAbsence({At(0, 21, 0), At(0, 21, 30, 20)});
    scheduler.Tick(true, L"21.30");
    now.wSecond = 59;
    scheduler.Tick(true, L"21:30");
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0].slot, 2);
    EXPECT_EQ(ran[0].missedMinute, L"21:30");
    EXPECT_FALSE(scheduler.AbsencePending());
    // Switched off at the first tick: the absence is not kept for later.
    scheduler.NoteAbsence({At(0, 21, 0), At(0, 21, 40)});
    scheduler.Tick(false, L"21:40");
    scheduler.Tick(true, L"21:41");
    EXPECT_EQ(ran.size(), 1u);
    SetClockSeam(nullptr);
}

// A made-up minute counts as that day's: the same day's own minute still runs, a minute the job
// already started is not made up, and a tick that may not run anything keeps the absence.
TEST(MissedRun, TheTickStartsEachMinuteOnceAndKeepsWhatItCannotRun) {
    SYSTEMTIME now{2013, 6, 0, 4, 10, 0, 20, 0};
    SetClockSeam([&] { return now; });
    std::vector<RunRequest> ran;
    Scheduler scheduler([&](const RunRequest& request) { ran.push_back(request); }, nullptr);
    scheduler.Snapshot().Job(1) = CatchUpJob(L"21:30");
    scheduler.NoteAbsence({At(0, 21, 0), At(1, 9, 59)});
    scheduler.Tick(true, L"10:00");
    ASSERT_EQ(ran.size(), 1u);
    now.wHour = 21, now.wMinute = 30;
    scheduler.Tick(true, L"21:30");
    ASSERT_EQ(ran.size(), 2u);
    EXPECT_TRUE(ran[1].missedMinute.empty());

    // Started at 21:30 by its tick; an absence wrongly said to hold that minute adds nothing.
    now.wMinute = 45;
    scheduler.NoteAbsence({At(1, 21, 29, 59), At(1, 21, 45)});
    scheduler.Tick(true, L"21:45");
    EXPECT_EQ(ran.size(), 2u);

    // Automatic runs refused: the absence waits, from where it began.
    scheduler.AllowAutomaticRuns(false);
    now.wDay = 5, now.wHour = 22;
    scheduler.NoteAbsence({At(2, 21, 0), At(2, 22, 0)});
    scheduler.Tick(true, L"22:00");
    EXPECT_EQ(scheduler.AbsentSince(), At(2, 21, 0));
    scheduler.AllowAutomaticRuns(true);
    scheduler.Tick(true, L"22:01");
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[2].missedMinute, L"21:30");
    EXPECT_FALSE(scheduler.AbsentSince());
    SetClockSeam(nullptr);
}

// What a tick has seen is the minute its clock text shows, which may lag the clock; and where a
// start counts its absence from, whatever the stored moments.
TEST(MissedRun, SeenIsTheMinuteShownAndStoredMomentsAfterNowAreLeftOut) {
    EXPECT_NEAR(SeenUntil(At(0, 21, 30, 5), L"21:29"), At(0, 21, 29, 59), 1e-8);
    EXPECT_EQ(SeenUntil(At(0, 21, 30, 5), L"21:30"), At(0, 21, 30, 5));
    EXPECT_NEAR(SeenUntil(At(1, 0, 0, 10), L"23:59"), At(0, 23, 59, 59), 1e-8);
    EXPECT_EQ(SeenUntil(At(0, 21, 30, 5), L"--:--"), At(0, 21, 30, 5));
    EXPECT_EQ(SeenUntil(At(0, 21, 30, 5), L"22:00"), At(0, 21, 30, 5));  // the clock put back
    EXPECT_EQ(SeenUntil(At(0, 21, 30, 5), L"20:30"), At(0, 21, 30, 5));  // a text an hour old
    // The tick read "21:29" just after the job's minute began, and the computer then slept.
    ScheduleSnapshot snapshot;
    snapshot.Job(1) = CatchUpJob(L"21:30");
    const Absence asleep{SeenUntil(At(0, 21, 30, 5), L"21:29"), At(0, 22, 0)};
    EXPECT_EQ(MissedRuns(snapshot, asleep, At(0, 22, 0, 30), true).size(), 1u);

    const double now = At(1, 10, 0);
    EXPECT_EQ(AbsentSince(At(0, 21, 0), At(0, 23, 0), now), At(0, 23, 0));
    EXPECT_EQ(AbsentSince(At(0, 21, 0), std::nullopt, now), At(0, 21, 0));
    EXPECT_EQ(AbsentSince(At(0, 21, 0), At(5, 0, 0), now), At(0, 21, 0));
    EXPECT_EQ(AbsentSince(At(5, 0, 0), At(0, 23, 0), now), At(0, 23, 0));
    EXPECT_FALSE(AbsentSince(At(5, 0, 0), At(6, 0, 0), now));
    EXPECT_FALSE(AbsentSince(std::nullopt, std::nullopt, now));
}

}  // namespace
}  // namespace vt
