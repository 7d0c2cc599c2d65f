#pragma once
// What the main window remembers of the five jobs between set-up changes.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "settings/JobNames.h"

namespace vt {

// A job's AtTime minute seen again within this many days is the same minute, not the next day's.
inline constexpr double kSameMinuteDays = 0.5;

struct ScheduledJob {
    bool atTime = false;
    std::wstring time;  // "hh:nn" as stored, at most 7 characters
    bool atStartup = false;
    bool atShutdown = false;
    bool enabled = false;
    bool everyNHours = false;
    bool everyNDays = false;
    bool catchUp = false;  // "Recupera se perso"
    // The last AtTime start decided by a tick: the clock text's "hhnn" and the time it was.
    std::wstring atTimeStartedMinute;
    double atTimeStartedAt = 0.0;
};

struct ScheduleSnapshot {
    std::array<ScheduledJob, kJobCount> jobs;
    bool logEnabled = false;
    std::wstring logPath;

    bool AnyEnabled() const {
        for (const ScheduledJob& job : jobs)
            if (job.enabled) return true;
        return false;
    }
    ScheduledJob& Job(int slot) { return jobs[static_cast<size_t>(slot - 1)]; }
    const ScheduledJob& Job(int slot) const { return jobs[static_cast<size_t>(slot - 1)]; }
};

// Reads the snapshot from the store; values it could not read keep what snapshot held.
void LoadSchedule(ScheduleSnapshot& snapshot);

// A periodic flag: the kind is chosen and its interval is a whole number.
bool IntervalIsNumber(const std::wstring& interval);

// Hours "hh" and minutes "nn" of a job time against the clock text; the separator between them
// is not compared, so "08:30" matches "08.30". A shorter text never matches.
bool TimeMatches(const std::wstring& jobTime, const std::wstring& clockText);

// What one tick of the schedule asks the engine for.
struct RunRequest {
    enum Kind { Job, IfHoursElapsed, IfDaysElapsed } kind = Job;
    int slot = 1;
    bool manual = false;  // started with "Avvia"
    std::wstring missedMinute;  // "hh:nn": this run makes up the job's minute missed then
    bool operator==(const RunRequest& other) const { return kind == other.kind && slot == other.slot; }
};

// The runs due at a tick, in order: AtTime jobs by slot, then each slot's hours check before
// its days check. Nothing when the program is switched off. An AtTime job already started in
// the minute the clock text shows is not started again; the snapshot remembers each start.
std::vector<RunRequest> DueAtTick(ScheduleSnapshot& snapshot, bool programOn, const std::wstring& clockText);

// Any job enabled, or the tray icon on: the program then stays resident when closed.
bool AnyJobEnabledInStore();

// The application title and clock colour that tell the user whether jobs will run.
struct ActivationLook {
    std::wstring title;
    COLORREF clockColour;
};
ActivationLook ComputeActivationLook(bool anyJobEnabled, bool programOn);

}  // namespace vt
