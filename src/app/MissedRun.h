#pragma once
// Which AtTime jobs passed their minute while nothing watched the clock: the program was not
// running, or the computer slept. Each is made up once, for its latest such minute.
#include <optional>
#include <string>
#include <vector>

#include "app/Schedule.h"

namespace vt {

// A stretch of time the program did not see, in days since 30 December 1899: from the last
// moment it is known to have seen the clock to the moment it saw it again.
struct Absence {
    double from = 0.0;
    double until = 0.0;
};

struct MissedRun {
    int slot = 1;
    std::wstring minute;  // "hh:nn" of the job's time
    double at = 0.0;      // that minute on the day it was missed
};

// The job's hour and minute from "hh:nn" (the separator is not looked at), as minutes of the
// day; nothing when the text is not a time of day.
std::optional<int> MinuteOfDay(const std::wstring& time);

// The enabled AtTime jobs with "Recupera se perso" whose latest minute inside the absence is
// later than `from` and, at `now`, less than a day old; by slot. Nothing with the program off.
std::vector<MissedRun> MissedRuns(const ScheduleSnapshot& snapshot, const Absence& absence, double now,
                                  bool programOn);

// Two absences not yet made up count as one, from the earlier start to the later end.
Absence Joined(const std::optional<Absence>& earlier, const Absence& later);

// What a tick that compared the clock text `clockText` at `now` has seen: up to the end of that
// minute, or now if earlier. The text may lag the clock; a minute it has not shown is not seen.
double SeenUntil(double now, const std::wstring& clockText);

// Where the absence before a start begins: the later of the stored "last seen" and "suspended",
// leaving out a value later than now (it would hide every missed minute).
std::optional<double> AbsentSince(std::optional<double> lastSeen, std::optional<double> suspended, double now);

// The catch-up line the log gets before the run's "Avvio backup numero".
std::wstring MissedRunLine(const std::wstring& minute);

}  // namespace vt
