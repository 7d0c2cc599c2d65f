#pragma once
// What the main window remembers of the five jobs between set-up changes.
#include <windows.h>

#include <array>
#include <string>

#include "settings/JobNames.h"

namespace vt {

struct ScheduledJob {
    bool atTime = false;
    std::wstring time;  // "hh:nn" as stored, at most 7 characters
    bool atStartup = false;
    bool atShutdown = false;
    bool enabled = false;
    bool everyNHours = false;
    bool everyNDays = false;
};

struct ScheduleSnapshot {
    std::array<ScheduledJob, kJobCount> jobs;
    bool logEnabled = false;
    std::wstring logPath;

    ScheduledJob& Job(int slot) { return jobs[static_cast<size_t>(slot - 1)]; }
    const ScheduledJob& Job(int slot) const { return jobs[static_cast<size_t>(slot - 1)]; }
};

// Reads the snapshot from the store; values it could not read keep what snapshot held.
void LoadSchedule(ScheduleSnapshot& snapshot);

// A periodic flag: the kind is chosen and its interval is a whole number.
bool IntervalIsNumber(const std::wstring& interval);

// The application title and clock colour that tell the user whether jobs will run.
struct ActivationLook {
    std::wstring title;
    COLORREF clockColour;
};
ActivationLook ComputeActivationLook(bool anyJobEnabled, bool programOn);

}  // namespace vt
