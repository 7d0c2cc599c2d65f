#pragma once
// The stored values of one job slot as typed records: what the job page and the engine read
// (JobValues), what the schedule snapshot reads (ScheduleValues), and the "Abilita" switch.
#include <string>

#include "settings/SettingsStore.h"

namespace vt {

// Every per-job value of the store, with the defaults of the store's table; strings uncut.
struct JobValues {
    std::wstring source, program, destination, fileListDestination, commandLine;
    std::wstring time = kTimeDefault;
    bool atTime = kAtTimeDefault, atStartup = false, atShutdown = false;
    bool everyNDays = false, everyNHours = false, manual = false;
    std::wstring daysInterval, hoursInterval;
    bool isFolder = kIsFolderDefault, isFileList = false, isProgram = false;
    bool destIsFtp = false;
    bool enabled = false;  // "Abilita" on the job's page
    bool catchUp = false;  // "Recupera se perso"
};

JobValues ReadJobValues(const SettingsStore& store, int slot);
JobValues ReadJobValues(int slot);

// What the schedule snapshot reads, with its own defaults and cut of the time.
struct ScheduleValues {
    bool atTime = kAtTimeDefaultForSchedule;
    std::wstring time = kTimeDefaultForSchedule;
    bool atStartup = false, atShutdown = false, enabled = false;
    bool everyNDays = false, everyNHours = false;
    std::wstring daysInterval, hoursInterval;
    bool catchUp = false;
};

ScheduleValues ReadScheduleValues(const SettingsStore& store, int slot);

bool ReadJobEnabled(const SettingsStore& store, int slot);
void WriteJobEnabled(int slot, bool enabled);

// The interval checks' state in the job's own section: the interval text and "Tempo".
enum class IntervalUnit { Hours, Days };
std::wstring ReadInterval(const SettingsStore& store, int slot, IntervalUnit unit);
std::optional<double> ReadLastRun(const SettingsStore& store, int slot);
void WriteLastRun(SettingsStore& store, int slot, double when);

// What the job's last run came to, shown on the main window's job page.
enum class RunOutcome { Completed = 0, WithErrors = 1, Stopped = 2 };
struct LastRunOutcome {
    double started = 0.0;
    RunOutcome outcome = RunOutcome::Completed;
};
// Nothing when the job never ran, or what is stored is not a start and a known outcome.
std::optional<LastRunOutcome> ReadLastRunOutcome(const SettingsStore& store, int slot);
void WriteLastRunOutcome(int slot, const LastRunOutcome& last);

// The job's last complete local copy, as the path of its dated folder; empty when none is known.
std::wstring ReadLastCompleteCopy(const SettingsStore& store, int slot);
bool WriteLastCompleteCopy(int slot, const std::wstring& path);

}  // namespace vt
