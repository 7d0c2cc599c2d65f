#include "app/Schedule.h"

#include <shlobj.h>

#include <cmath>

#include "app/LogFile.h"
#include "settings/JobValues.h"
#include "settings/ProgramValues.h"
#include "win/Clock.h"
#include "win/DateTime.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

bool IntervalIsNumber(const std::wstring& interval) {
    int value = 0;
    return ParseInteger(interval, value);
}

void LoadSchedule(ScheduleSnapshot& snapshot) {
    SettingsStore store;
    if (store.IsOpen()) {
        for (int slot = 1; slot <= kJobCount; ++slot) {
            ScheduledJob& job = snapshot.Job(slot);
            const ScheduleValues stored = ReadScheduleValues(store, slot);
            job.atTime = stored.atTime;
            job.time = stored.time;
            job.atStartup = stored.atStartup;
            job.atShutdown = stored.atShutdown;
            job.enabled = stored.enabled;
            job.everyNDays = stored.everyNDays && IntervalIsNumber(stored.daysInterval);
            job.everyNHours = stored.everyNHours && IntervalIsNumber(stored.hoursInterval);
            job.catchUp = stored.catchUp;
        }
    }
    const LogSettings log = ReadLogSettings(store);
    if (store.IsOpen()) snapshot.logEnabled = log.enabled;
    const std::wstring documents = ShellFolder(CSIDL_PERSONAL);
    std::wstring folder = log.folder;
    // A blank folder would put the log in the root of whatever drive is current.
    if (folder.find_first_not_of(L' ') == std::wstring::npos) folder = documents;
    snapshot.logPath = LogPath(folder);
}

bool TimeMatches(const std::wstring& jobTime, const std::wstring& clockText) {
    if (jobTime.size() < 5 || clockText.size() < 5) return false;
    return jobTime.compare(0, 2, clockText, 0, 2) == 0 && jobTime.compare(3, 2, clockText, 3, 2) == 0;
}

std::vector<RunRequest> DueAtTick(ScheduleSnapshot& snapshot, bool programOn, const std::wstring& clockText) {
    std::vector<RunRequest> due;
    if (!programOn) return due;
    // The clock text shows a minute for about a minute and a tick comes every 55 s, so two
    // ticks can see the same minute; a run that held the window may delay a tick further. The
    // same minute shown again within half a day is that same minute, not the next day's.
    const double now = ToDateTime(LocalNow());
    const std::wstring minute = clockText.size() >= 5 ? clockText.substr(0, 2) + clockText.substr(3, 2) : L"";
    for (int slot = 1; slot <= kJobCount; ++slot) {
        ScheduledJob& job = snapshot.Job(slot);
        if (!job.atTime || !job.enabled || !TimeMatches(job.time, clockText)) continue;
        if (job.atTimeStartedMinute == minute && std::fabs(now - job.atTimeStartedAt) < kSameMinuteDays) continue;
        job.atTimeStartedMinute = minute;
        job.atTimeStartedAt = now;
        due.push_back({RunRequest::Job, slot});
    }
    for (int slot = 1; slot <= kJobCount; ++slot) {
        if (snapshot.Job(slot).everyNHours) due.push_back({RunRequest::IfHoursElapsed, slot});
        if (snapshot.Job(slot).everyNDays) due.push_back({RunRequest::IfDaysElapsed, slot});
    }
    return due;
}

bool AnyJobEnabledInStore() {
    const SettingsStore store;
    if (!store.IsOpen()) return false;
    for (int slot = 1; slot <= kJobCount; ++slot)
        if (ReadJobEnabled(store, slot)) return true;
    return ReadTrayIconOn(store);
}

ActivationLook ComputeActivationLook(bool anyJobEnabled, bool programOn) {
    if (anyJobEnabled && programOn) return {L"Vaultick on", RGB(0, 0, 0)};
    if (anyJobEnabled || !programOn) return {L"Vaultick off", RGB(255, 0, 0)};
    return {L"Vaultick off", RGB(128, 0, 0)};
}

}  // namespace vt
