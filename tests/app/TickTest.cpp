#include <gtest/gtest.h>

#include "app/Autostart.h"
#include "app/RunQueue.h"
#include "app/Schedule.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "win/Clock.h"

namespace vt {
namespace {

using Requests = std::vector<RunRequest>;

TEST(Tick, TimeMatchesHourAndMinuteWhateverTheSeparator) {
    EXPECT_TRUE(TimeMatches(L"08:30", L"08.30"));
    EXPECT_TRUE(TimeMatches(L"08:30", L"08:30"));
    EXPECT_TRUE(TimeMatches(L"08:30:00", L"08.30"));
    EXPECT_FALSE(TimeMatches(L"08:30", L"08.31"));
    EXPECT_FALSE(TimeMatches(L"08:30", L"18.30"));
    EXPECT_FALSE(TimeMatches(L"--:--", L"08.30"));
    EXPECT_FALSE(TimeMatches(L"", L"08.30"));
    EXPECT_FALSE(TimeMatches(L"8:30", L"08.30"));
}

TEST(Tick, OrderOfOneTick) {
    ScheduleSnapshot snapshot;
    snapshot.Job(4) = {true, L"21:40", false, false, true, false, false};
    snapshot.Job(1) = {true, L"21:40", false, false, false, false, false};  // not enabled
    snapshot.Job(2).everyNHours = true;
    snapshot.Job(2).everyNDays = true;
    snapshot.Job(1).everyNDays = true;
    const Requests due = DueAtTick(snapshot, true, L"21.40");
    const Requests expected{{RunRequest::Job, 4},
                            {RunRequest::IfDaysElapsed, 1},
                            {RunRequest::IfHoursElapsed, 2},
                            {RunRequest::IfDaysElapsed, 2}};
    EXPECT_EQ(due, expected);
    EXPECT_TRUE(DueAtTick(snapshot, false, L"21.40").empty());
    EXPECT_EQ(DueAtTick(snapshot, true, L"21.41").size(), 3u);
}

TEST(Tick, AShownMinuteStartsItsJobOnce) {
    SYSTEMTIME now{};
    SetClockSeam([&] { return now; });
    auto at = [&](WORD day, WORD hour, WORD minute, WORD second) { now = SYSTEMTIME{2013, 6, 0, day, hour, minute, second, 0}; };
    ScheduleSnapshot snapshot;
    snapshot.Job(2) = {true, L"08:30", false, false, true, false, false};
    snapshot.Job(3) = {true, L"08:30", false, false, true, false, false};
    const Requests both{{RunRequest::Job, 2}, {RunRequest::Job, 3}};
    at(6, 8, 30, 27);
    EXPECT_EQ(DueAtTick(snapshot, true, L"08.30"), both);
    // 55 s later the clock text still shows 08:30, in either form.
    at(6, 8, 31, 22);
    EXPECT_TRUE(DueAtTick(snapshot, true, L"08:30").empty());
    // A run held the window for minutes and the clock text was not refreshed meanwhile.
    at(6, 8, 36, 0);
    EXPECT_TRUE(DueAtTick(snapshot, true, L"08.30").empty());
    // The next day the same minute starts it again; a job changed to another time runs at it.
    at(7, 8, 30, 10);
    EXPECT_EQ(DueAtTick(snapshot, true, L"08:30"), both);
    snapshot.Job(3).time = L"08:31";
    at(7, 8, 31, 5);
    EXPECT_EQ(DueAtTick(snapshot, true, L"08:31"), (Requests{{RunRequest::Job, 3}}));
    // A minute seen before and after midnight is one minute.
    snapshot.Job(2).time = L"23:59";
    at(7, 23, 59, 45);
    EXPECT_EQ(DueAtTick(snapshot, true, L"23:59").size(), 1u);
    at(8, 0, 0, 25);
    EXPECT_TRUE(DueAtTick(snapshot, true, L"23:59").empty());
    // Switched off, a tick remembers nothing: the job runs once switched on in that minute.
    at(9, 23, 59, 5);
    EXPECT_TRUE(DueAtTick(snapshot, false, L"23:59").empty());
    EXPECT_EQ(DueAtTick(snapshot, true, L"23:59").size(), 1u);
    SetClockSeam(nullptr);
}

TEST(Tick, QueueKeepsOrderAndDropsWhatIsAlreadyWaiting) {
    RunQueue queue;
    EXPECT_TRUE(queue.Push({RunRequest::Job, 4}));
    EXPECT_TRUE(queue.Push({RunRequest::IfHoursElapsed, 2}));
    EXPECT_FALSE(queue.Push({RunRequest::Job, 4}));
    EXPECT_TRUE(queue.Push({RunRequest::Job, 2}));
    EXPECT_EQ(queue.Pop()->slot, 4);
    EXPECT_TRUE(queue.Push({RunRequest::Job, 4}));  // no longer waiting: asked again
    EXPECT_EQ(queue.Pop()->kind, RunRequest::IfHoursElapsed);
    EXPECT_EQ(queue.Pop()->slot, 2);
    EXPECT_EQ(queue.Pop()->slot, 4);
    EXPECT_FALSE(queue.Pop().has_value());
}

TEST(Tick, AutostartCommandIsQuotedOnlyWithABlank) {
    EXPECT_EQ(AutostartCommand(L"C:\\Vaultick"), L"C:\\Vaultick\\DorviVaultick.Exe /go");
    EXPECT_EQ(AutostartCommand(L"C:\\Program Files\\Dorvi\\Vaultick"),
              L"\"C:\\Program Files\\Dorvi\\Vaultick\\DorviVaultick.Exe\" /go");
}

TEST(Tick, AnyJobEnabledCountsTheTrayToo) {
    test::SettingsGuard guard;
    EXPECT_FALSE(AnyJobEnabledInStore());
    SettingsStore store;
    store.WriteBool(L"Principale", L"Task Bar", true);
    EXPECT_TRUE(AnyJobEnabledInStore());
    store.WriteBool(L"Principale", L"Task Bar", false);
    store.WriteBool(L"Principale", L"Attesa5", true);
    EXPECT_TRUE(AnyJobEnabledInStore());
}

}  // namespace
}  // namespace vt
