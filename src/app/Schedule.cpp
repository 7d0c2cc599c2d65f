#include "app/Schedule.h"

#include <shlobj.h>

#include <cmath>

#include "app/LogFile.h"
#include "settings/SettingsStore.h"
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
            job.atTime = store.ReadBool(kMainSection, SlotValueName(L"TipoOrario", slot), false);
            job.time = store.ReadString(kMainSection, SlotValueName(L"Orario", slot), L"").substr(0, 7);
            job.atStartup = store.ReadBool(kMainSection, SlotValueName(L"Avvio", slot), false);
            job.atShutdown = store.ReadBool(kMainSection, SlotValueName(L"Chiusura", slot), false);
            job.enabled = store.ReadBool(kMainSection, SlotValueName(L"Attesa", slot), false);
        }
        for (int slot = 1; slot <= kJobCount; ++slot) {
            ScheduledJob& job = snapshot.Job(slot);
            const std::wstring section = JobSection(slot);
            job.everyNDays = store.ReadBool(section, L"Giorni", false) &&
                             IntervalIsNumber(store.ReadString(section, L"NrGiorni", L""));
            job.everyNHours = store.ReadBool(section, L"Ore", false) &&
                              IntervalIsNumber(store.ReadString(section, L"NrOre", L""));
        }
        snapshot.logEnabled = store.ReadBool(kLogSection, L"CBAttiva", false);
    }
    const std::wstring documents = ShellFolder(CSIDL_PERSONAL);
    std::wstring folder = store.ReadString(kLogSection, L"CartDest", documents);
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
    constexpr double kSameMinute = 0.5;
    const double now = ToDateTime(LocalNow());
    const std::wstring minute = clockText.size() >= 5 ? clockText.substr(0, 2) + clockText.substr(3, 2) : L"";
    for (int slot = 1; slot <= kJobCount; ++slot) {
        ScheduledJob& job = snapshot.Job(slot);
        if (!job.atTime || !job.enabled || !TimeMatches(job.time, clockText)) continue;
        if (job.atTimeStartedMinute == minute && std::fabs(now - job.atTimeStartedAt) < kSameMinute) continue;
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
        if (store.ReadBool(kMainSection, SlotValueName(L"Attesa", slot), false)) return true;
    return store.ReadBool(kMainSection, L"Task Bar", false);
}

ActivationLook ComputeActivationLook(bool anyJobEnabled, bool programOn) {
    if (anyJobEnabled && programOn) return {L"Vaultick on", RGB(0, 0, 0)};
    if (anyJobEnabled || !programOn) return {L"Vaultick off", RGB(255, 0, 0)};
    return {L"Vaultick off", RGB(128, 0, 0)};
}

}  // namespace vt
