#include "settings/BackupJob.h"

#include "settings/FileListFile.h"
#include "settings/JobValues.h"
#include "settings/SettingsStore.h"

namespace vt {

namespace {

BackupJob ToBackupJob(const JobValues& v, std::vector<std::wstring> files) {
    return BackupJob{v.source,
                     std::move(files),
                     v.program,
                     v.destination,
                     v.fileListDestination,
                     v.commandLine,
                     v.atTime,
                     v.atStartup,
                     v.atShutdown,
                     v.everyNDays,
                     v.everyNHours,
                     v.manual,
                     v.time.substr(0, kTimeCutForSetupWindow),
                     v.hoursInterval.substr(0, kIntervalCutForSetupWindow),
                     v.daysInterval.substr(0, kIntervalCutForSetupWindow),
                     v.isFolder,
                     v.isFileList,
                     v.isProgram,
                     v.destIsFtp,
                     v.catchUp};
}

void WriteBackupJob(SettingsStore& store, int slot, const BackupJob& job) {
    const std::wstring section = JobSection(slot);
    auto inMain = [&](const wchar_t* name) { return SlotValueName(name, slot); };
    store.WriteString(kMainSection, inMain(kSourceValue), job.source);
    store.WriteString(kMainSection, inMain(kProgramValue), job.program);
    store.WriteString(kMainSection, inMain(kDestinationValue), job.destination);
    store.WriteString(kMainSection, inMain(kFileListDestinationValue), job.fileListDestination);
    store.WriteString(kMainSection, inMain(kCommandLineValue), job.commandLine);
    store.WriteString(kMainSection, inMain(kTimeValue), job.time);
    store.WriteString(section, kHoursIntervalValue, job.hoursInterval);
    store.WriteString(section, kDaysIntervalValue, job.daysInterval);
    store.WriteBool(kMainSection, inMain(kAtTimeValue), job.atTime);
    store.WriteBool(kMainSection, inMain(kAtStartupValue), job.atStartup);
    store.WriteBool(kMainSection, inMain(kAtShutdownValue), job.atShutdown);
    store.WriteBool(section, kEveryNDaysValue, job.everyNDays);
    store.WriteBool(section, kEveryNHoursValue, job.everyNHours);
    store.WriteBool(section, kManualValue, job.manual);
    store.WriteBool(kMainSection, inMain(kIsFolderValue), job.isFolder);
    store.WriteBool(kMainSection, inMain(kIsFileListValue), job.isFileList);
    store.WriteBool(kMainSection, inMain(kIsProgramValue), job.isProgram);
    store.WriteBool(section, kDestIsFtpValue, job.destIsFtp);
    store.WriteBool(kMainSection, inMain(kCatchUpValue), job.catchUp);
}

}  // namespace

void LoadAllJobs(JobSet& set, const std::wstring& dataFolder) {
    {
        const SettingsStore store;
        set.trayIcon = store.ReadBool(kMainSection, kTrayIconValue, kTrayIconDefault);
        set.showDuringRun = store.ReadBool(kMainSection, kShowDuringRunValue, kShowDuringRunDefault);
        for (int slot = 1; slot <= kJobCount; ++slot)
            set.Job(slot) = ToBackupJob(ReadJobValues(store, slot), std::move(set.Job(slot).files));
    }
    for (int slot = 1; slot <= kJobCount; ++slot) {
        if (auto files = ReadFileList(FileListPath(dataFolder, slot))) set.Job(slot).files = std::move(*files);
    }
}

void SaveAllJobs(const JobSet& set, const std::wstring& dataFolder) {
    {
        SettingsStore store;
        store.WriteBool(kMainSection, kTrayIconValue, set.trayIcon);
        store.WriteBool(kMainSection, kShowDuringRunValue, set.showDuringRun);
        for (int slot = 1; slot <= kJobCount; ++slot) WriteBackupJob(store, slot, set.Job(slot));
    }
    SaveFileLists(set, dataFolder);
}

}  // namespace vt
