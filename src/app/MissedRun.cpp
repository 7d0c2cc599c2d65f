#include "app/MissedRun.h"

#include <algorithm>
#include <cmath>

namespace vt {

namespace {

constexpr long long kSecondsPerDay = 86400;

// Whole seconds, so that a minute and the moment the program ended compare exactly; dates far
// outside any calendar are left out by the caller.
long long Seconds(double days) { return std::llround(days * static_cast<double>(kSecondsPerDay)); }

bool Digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool Usable(double days) { return std::isfinite(days) && days > 0.0 && days < 3.0e6; }

}  // namespace

std::optional<int> MinuteOfDay(const std::wstring& time) {
    if (time.size() < 5 || !Digit(time[0]) || !Digit(time[1]) || !Digit(time[3]) || !Digit(time[4]))
        return std::nullopt;
    const int hour = (time[0] - L'0') * 10 + (time[1] - L'0');
    const int minute = (time[3] - L'0') * 10 + (time[4] - L'0');
    if (hour > 23 || minute > 59) return std::nullopt;
    return hour * 60 + minute;
}

std::vector<MissedRun> MissedRuns(const ScheduleSnapshot& snapshot, const Absence& absence, double now,
                                  bool programOn) {
    std::vector<MissedRun> missed;
    if (!programOn || !Usable(absence.from) || !Usable(absence.until) || !Usable(now)) return missed;
    const long long from = Seconds(absence.from);
    // The clock may have been put back: nothing after now is missed.
    const long long until = std::min(Seconds(absence.until), Seconds(now));
    const long long oldest = Seconds(now) - kSecondsPerDay;
    if (until <= from) return missed;
    for (int slot = 1; slot <= kJobCount; ++slot) {
        const ScheduledJob& job = snapshot.Job(slot);
        if (!job.atTime || !job.enabled || !job.catchUp) continue;
        const auto minuteOfDay = MinuteOfDay(job.time);
        if (!minuteOfDay) continue;
        // The latest time the job's minute began, not after the absence ended.
        const long long dayStart = until - ((until % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
        long long at = dayStart + *minuteOfDay * 60LL;
        if (at > until) at -= kSecondsPerDay;
        if (at <= from || at <= oldest) continue;
        missed.push_back({slot, job.time.substr(0, 2) + L":" + job.time.substr(3, 2),
                          static_cast<double>(at) / static_cast<double>(kSecondsPerDay)});
    }
    return missed;
}

Absence Joined(const std::optional<Absence>& earlier, const Absence& later) {
    if (!earlier) return later;
    return {std::min(earlier->from, later.from), std::max(earlier->until, later.until)};
}

double SeenUntil(double now, const std::wstring& clockText) {
    const auto minuteOfDay = MinuteOfDay(clockText);
    if (!minuteOfDay || !Usable(now)) return now;
    const long long at = Seconds(now);
    long long shown = at - ((at % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay + *minuteOfDay * 60LL;
    // Just after midnight the text may still show the day before's last minute.
    if (shown > at) shown -= kSecondsPerDay;
    // A text far behind is not a lag but a clock put back or a long run: the time is seen.
    const long long end = shown + 59;
    if (end >= at || at - shown > 120) return now;
    return static_cast<double>(end) / static_cast<double>(kSecondsPerDay);
}

std::optional<double> AbsentSince(std::optional<double> lastSeen, std::optional<double> suspended, double now) {
    std::optional<double> since;
    for (const auto& stored : {lastSeen, suspended})
        if (stored && *stored <= now && (!since || *stored > *since)) since = stored;
    return since;
}

std::wstring MissedRunLine(const std::wstring& minute) { return L"Recupero del backup delle " + minute + L" non eseguito"; }

}  // namespace vt
