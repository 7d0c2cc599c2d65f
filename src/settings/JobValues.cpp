#include "settings/JobValues.h"

#include <cmath>

#include "settings/JobNames.h"

namespace vt {

namespace {

// 31 December 9999.
constexpr double kLastCalendarDay = 2958465.0;

// The two places of a slot's values: "Principale" with the slot suffix, and its own section.
struct SlotReader {
    const SettingsStore& store;
    int slot;
    std::wstring section = JobSection(slot);

    std::wstring Text(const wchar_t* name, const wchar_t* fallback = L"") const {
        return store.ReadString(kMainSection, SlotValueName(name, slot), fallback);
    }
    bool Flag(const wchar_t* name, bool fallback = false) const {
        return store.ReadBool(kMainSection, SlotValueName(name, slot), fallback);
    }
    std::wstring OwnText(const wchar_t* name) const { return store.ReadString(section, name, L""); }
    bool OwnFlag(const wchar_t* name) const { return store.ReadBool(section, name, false); }
};

}  // namespace

JobValues ReadJobValues(const SettingsStore& store, int slot) {
    const SlotReader in{store, slot};
    JobValues v;
    v.source = in.Text(kSourceValue);
    v.program = in.Text(kProgramValue);
    v.destination = in.Text(kDestinationValue);
    v.fileListDestination = in.Text(kFileListDestinationValue);
    v.commandLine = in.Text(kCommandLineValue);
    v.time = in.Text(kTimeValue, kTimeDefault);
    v.atTime = in.Flag(kAtTimeValue, kAtTimeDefault);
    v.atStartup = in.Flag(kAtStartupValue);
    v.atShutdown = in.Flag(kAtShutdownValue);
    v.everyNDays = in.OwnFlag(kEveryNDaysValue);
    v.everyNHours = in.OwnFlag(kEveryNHoursValue);
    v.manual = in.OwnFlag(kManualValue);
    v.daysInterval = in.OwnText(kDaysIntervalValue);
    v.hoursInterval = in.OwnText(kHoursIntervalValue);
    v.isFolder = in.Flag(kIsFolderValue, kIsFolderDefault);
    v.isFileList = in.Flag(kIsFileListValue);
    v.isProgram = in.Flag(kIsProgramValue);
    v.destIsFtp = in.OwnFlag(kDestIsFtpValue);
    v.enabled = in.Flag(kJobEnabledValue);
    v.catchUp = in.Flag(kCatchUpValue);
    return v;
}

JobValues ReadJobValues(int slot) { return ReadJobValues(SettingsStore(), slot); }

ScheduleValues ReadScheduleValues(const SettingsStore& store, int slot) {
    const SlotReader in{store, slot};
    ScheduleValues v;
    v.atTime = in.Flag(kAtTimeValue, kAtTimeDefaultForSchedule);
    v.time = in.Text(kTimeValue, kTimeDefaultForSchedule).substr(0, kTimeCutForSchedule);
    v.atStartup = in.Flag(kAtStartupValue);
    v.atShutdown = in.Flag(kAtShutdownValue);
    v.enabled = in.Flag(kJobEnabledValue);
    v.everyNDays = in.OwnFlag(kEveryNDaysValue);
    v.daysInterval = in.OwnText(kDaysIntervalValue);
    v.everyNHours = in.OwnFlag(kEveryNHoursValue);
    v.hoursInterval = in.OwnText(kHoursIntervalValue);
    v.catchUp = in.Flag(kCatchUpValue);
    return v;
}

bool ReadJobEnabled(const SettingsStore& store, int slot) {
    return store.ReadBool(kMainSection, SlotValueName(kJobEnabledValue, slot), false);
}

void WriteJobEnabled(int slot, bool enabled) {
    SettingsStore().WriteBool(kMainSection, SlotValueName(kJobEnabledValue, slot), enabled);
}

std::wstring ReadInterval(const SettingsStore& store, int slot, IntervalUnit unit) {
    return store.ReadString(JobSection(slot), unit == IntervalUnit::Hours ? kHoursIntervalValue : kDaysIntervalValue,
                            L"");
}

std::optional<double> ReadLastRun(const SettingsStore& store, int slot) {
    return store.ReadDateTime(JobSection(slot), kLastRunValue);
}

void WriteLastRun(SettingsStore& store, int slot, double when) {
    store.WriteDateTime(JobSection(slot), kLastRunValue, when);
}

std::optional<LastRunOutcome> ReadLastRunOutcome(const SettingsStore& store, int slot) {
    const std::wstring section = JobSection(slot);
    const auto started = store.ReadDateTime(section, kLastStartValue);
    const int outcome = store.ReadInteger(section, kLastOutcomeValue, -1);
    // A start no calendar shows is no start: the page would show nonsense.
    if (!started || !std::isfinite(*started) || *started < 1.0 || *started > kLastCalendarDay || outcome < 0 ||
        outcome > 2)
        return std::nullopt;
    return LastRunOutcome{*started, static_cast<RunOutcome>(outcome)};
}

void WriteLastRunOutcome(int slot, const LastRunOutcome& last) {
    SettingsStore store;
    const std::wstring section = JobSection(slot);
    store.WriteDateTime(section, kLastStartValue, last.started);
    store.WriteInteger(section, kLastOutcomeValue, static_cast<int>(last.outcome));
}

std::wstring ReadLastCompleteCopy(const SettingsStore& store, int slot) {
    return store.ReadString(JobSection(slot), kLastCompleteCopyValue, L"");
}

bool WriteLastCompleteCopy(int slot, const std::wstring& path) {
    return SettingsStore().WriteString(JobSection(slot), kLastCompleteCopyValue, path);
}

}  // namespace vt
