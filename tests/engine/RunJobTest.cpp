// RunJob from start to end, its failures, and the interval checks of the scheduler.
#include "EngineFixture.h"

#include <algorithm>
#include <optional>

#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "win/Clock.h"
#include "win/DateTime.h"
#include "win/Failure.h"

namespace vt::test {
namespace {

using Lines = std::vector<std::wstring>;

class RunJobTest : public EngineTest {
protected:
    Lines Opening(int slot) const { return {L"", LogTime(), L"Avvio backup numero " + std::to_wstring(slot)}; }
    void NoKind(int slot) {
        for (const wchar_t* name : {L"TipoDir", L"TipoExe", L"TipoFile"}) SetBool(kMainSection, SlotValueName(name, slot), false);
    }
    void ExpectPutBack() const {
        EXPECT_EQ(host.statuses.front(), L"ATTENDERE! Backup in corso...");
        EXPECT_EQ(host.statuses.back(), L"");
        EXPECT_FALSE(host.busy);
        EXPECT_EQ(host.shows, 1);
        EXPECT_EQ(host.hides, 1);
        EXPECT_FALSE(engine.Running());
    }
};

TEST_F(RunJobTest, NoKindLogsTheOpeningAndTheProblem) {
    NoKind(5);
    engine.RunJob(5);
    Lines expected = Opening(5);
    expected.push_back(L"Problemi nell'identificazione del tipo di backup");
    EXPECT_EQ(host.log, expected);
    EXPECT_EQ(host.log[1], L"06" + DateSeparator() + L"06" + DateSeparator() + L"2013 - 09" + TimeSeparator() + L"45" +
                               TimeSeparator() + L"00");
    EXPECT_EQ(host.statuses, (Lines{L"ATTENDERE! Backup in corso...", L""}));
    ExpectPutBack();
}

TEST_F(RunJobTest, AnFtpDestinationIsAnnouncedAndALaunchJobStaysLocal) {
    SetBool(JobSection(2), L"DestFTP", true);
    SetBool(kMainSection, L"TipoDir2", false);
    SetBool(kMainSection, L"TipoExe2", true);
    SetString(kMainSection, L"SorgenteExe2", temp / L"manca.exe");
    engine.RunJob(2);
    Lines expected = Opening(2);
    expected.insert(expected.end(), {L"Destinazione sito ftp", L"Tipo di backup : Lancio di un file",
                                     L"Il file selezionato non \u00e8 stato trovato"});
    EXPECT_EQ(host.log, expected);
    ExpectPutBack();
}

TEST_F(RunJobTest, ALogFailingAtTheOpeningPassesOnAndLeavesTheRunMarked) {
    NoKind(1);
    for (const std::wstring failing : {L"", L"Avvio backup numero 1", L"Problemi nell'identificazione del tipo di backup"}) {
        host = RecordingHost{};
        host.onLog = [&](const std::wstring& line) {
            if (line == failing) throw IoFailure("log folder missing");
        };
        EXPECT_THROW(engine.RunJob(1), IoFailure);
        EXPECT_EQ(host.hides, 0);
        EXPECT_TRUE(host.busy);
        EXPECT_EQ(host.statuses.back(), L"ATTENDERE! Backup in corso...");
        // The failure must not leave the engine believing a run is still going.
        EXPECT_FALSE(engine.Running());
    }
    host = RecordingHost{};
    engine.RunJob(1);
    EXPECT_EQ(host.log.size(), 4u);
}

TEST_F(RunJobTest, AFailureInsideTheJobEndsItSilently) {
    MakeFile(temp / L"Fonte\\a.txt", "a");
    FolderJob(1, temp / L"Fonte", temp / L"Copie");
    host.onLog = [](const std::wstring& line) {
        if (line.rfind(L"Copia limitata", 0) == 0) throw IoFailure("log folder missing");
    };
    EXPECT_NO_THROW(engine.RunJob(1));
    EXPECT_EQ(host.log.back(), L"Tipo di backup : Cartelle");
    ExpectPutBack();
}

TEST_F(RunJobTest, ALogFailingAtTheKindLineEndsTheJobSilently) {
    MakeFile(temp / L"Fonte\\a.txt", "a");
    FolderJob(1, temp / L"Fonte", temp / L"Copie");
    SetBool(kMainSection, L"TipoDir2", false);
    SetBool(kMainSection, L"TipoFile2", true);
    SetBool(kMainSection, L"TipoDir3", false);
    SetBool(kMainSection, L"TipoExe3", true);
    const std::pair<int, const wchar_t*> kinds[] = {
        {1, L"Tipo di backup : Cartelle"}, {2, L"Tipo di backup : File"}, {3, L"Tipo di backup : Lancio di un file"}};
    for (const auto& [slot, line] : kinds) {
        host = RecordingHost{};
        host.onLog = [line = std::wstring(line)](const std::wstring& logged) {
            if (logged == line) throw IoFailure("log folder missing");
        };
        EXPECT_NO_THROW(engine.RunJob(slot)) << slot;
        EXPECT_EQ(host.log, Opening(slot));
        ExpectPutBack();
    }
    EXPECT_TRUE(FolderNames(temp / L"Copie").empty());
}

class IntervalTest : public RunJobTest {
protected:
    IntervalTest() { NoKind(1); }
    void SetLastRun(double value) { ASSERT_TRUE(SettingsStore().WriteDateTime(JobSection(1), L"Tempo", value)); }
    std::optional<double> LastRun() const { return SettingsStore().ReadDateTime(JobSection(1), L"Tempo"); }
    int Runs() const { return static_cast<int>(std::count(host.log.begin(), host.log.end(), L"Avvio backup numero 1")); }
    double Now() const { return ToDateTime(now); }
};

TEST_F(IntervalTest, ADisabledJobIsNeverChecked) {
    host.enabled[1] = false;
    SetString(JobSection(1), L"NrOre", L"0");
    engine.RunIfHoursElapsed(1);
    engine.RunIfDaysElapsed(1);
    EXPECT_EQ(Runs(), 0);
    EXPECT_FALSE(LastRun());
}

TEST_F(IntervalTest, AFirstCheckRunsAtOnceAndStoresTheEndTime) {
    SetString(JobSection(1), L"NrGiorni", L"3");
    // The run takes an hour: "Tempo" must be the end, not the start.
    host.onLog = [this](const std::wstring& line) {
        if (line == L"Problemi nell'identificazione del tipo di backup") SetNow(2013, 6, 6, 10, 45, 0);
    };
    engine.RunIfDaysElapsed(1);
    EXPECT_EQ(Runs(), 1);
    ASSERT_TRUE(LastRun());
    EXPECT_NEAR(*LastRun(), Now(), 1e-6);
    engine.RunIfDaysElapsed(1);
    EXPECT_EQ(Runs(), 1);
}

TEST_F(IntervalTest, DueOnlyAfterTheInterval) {
    struct Case {
        const wchar_t* hours;
        double elapsedHours;
        int runs;
    } cases[] = {
        {L"2", 1.9, 0}, {L"2", 2.1, 1}, {L"300", 43.9, 0}, {L"300", 44.1, 1}, {L"", 1000, 0}, {L"due", 1000, 0},
    };
    for (const Case& c : cases) {
        host = RecordingHost{};
        host.enabled.fill(true);
        SetString(JobSection(1), L"NrOre", c.hours);
        SetLastRun(Now() - c.elapsedHours / 24);
        engine.RunIfHoursElapsed(1);
        EXPECT_EQ(Runs(), c.runs) << c.hours << " after " << c.elapsedHours;
    }
}

TEST_F(IntervalTest, AnEmptyCountNeverRunsEvenTheFirstTime) {
    SetString(JobSection(1), L"NrOre", L"");
    engine.RunIfHoursElapsed(1);
    EXPECT_EQ(Runs(), 0);
    ASSERT_TRUE(LastRun());
    EXPECT_NEAR(*LastRun(), Now(), 1e-6);
}

TEST_F(IntervalTest, ZeroHoursRunsAtEveryCheck) {
    SetString(JobSection(1), L"NrOre", L"0");
    for (int tick = 0; tick < 3; ++tick) {
        SetNow(2013, 6, 6, 9, 45, static_cast<WORD>(tick * 2 + 1));
        engine.RunIfHoursElapsed(1);
    }
    EXPECT_EQ(Runs(), 3);
}

TEST_F(IntervalTest, LastRunOfTheWrongTypeMakesTheJobDue) {
    SetString(JobSection(1), L"NrOre", L"5");
    SetString(JobSection(1), L"Tempo", L"ieri");
    engine.RunIfHoursElapsed(1);
    EXPECT_EQ(Runs(), 1);
    EXPECT_TRUE(LastRun());
}

TEST_F(IntervalTest, AFailedRunLeavesTheJobDue) {
    SetString(JobSection(1), L"NrOre", L"5");
    SetLastRun(Now() - 1);
    host.onLog = [](const std::wstring&) { throw IoFailure("log folder missing"); };
    EXPECT_THROW(engine.RunIfHoursElapsed(1), IoFailure);
    EXPECT_NEAR(*LastRun(), Now() - 1, 1e-6);
}

}  // namespace
}  // namespace vt::test
