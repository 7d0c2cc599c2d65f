#include <gtest/gtest.h>

#include "app/Autostart.h"
#include "app/RunQueue.h"
#include "app/Schedule.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"

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
