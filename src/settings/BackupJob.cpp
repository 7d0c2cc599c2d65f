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
                     v.destIsFtp};
}

void WriteBackupJob(SettingsStore& store, int slot, const BackupJob& job) {
    const std::wstring section = JobSection(slot);
    auto inMain = [&](const wchar_t* name) { return SlotValueName(name, slot); };
    store.WriteString(kMainSection, inMain(kSourceValue), job.Sorgente);
    store.WriteString(kMainSection, inMain(kProgramValue), job.SorgenteExe);
    store.WriteString(kMainSection, inMain(kDestinationValue), job.Destinazione);
    store.WriteString(kMainSection, inMain(kFileListDestinationValue), job.DestinazioneFile);
    store.WriteString(kMainSection, inMain(kCommandLineValue), job.DestinazioneExe);
    store.WriteString(kMainSection, inMain(kTimeValue), job.Orario);
    store.WriteString(section, kHoursIntervalValue, job.NrOre);
    store.WriteString(section, kDaysIntervalValue, job.NrGiorni);
    store.WriteBool(kMainSection, inMain(kAtTimeValue), job.TipoOrario);
    store.WriteBool(kMainSection, inMain(kAtStartupValue), job.Avvio);
    store.WriteBool(kMainSection, inMain(kAtShutdownValue), job.Chiusura);
    store.WriteBool(section, kEveryNDaysValue, job.Giorni);
    store.WriteBool(section, kEveryNHoursValue, job.Ore);
    store.WriteBool(section, kManualValue, job.Manuale);
    store.WriteBool(kMainSection, inMain(kIsFolderValue), job.TipoDir);
    store.WriteBool(kMainSection, inMain(kIsFileListValue), job.TipoFile);
    store.WriteBool(kMainSection, inMain(kIsProgramValue), job.TipoExe);
    store.WriteBool(section, kDestIsFtpValue, job.DestFTP);
}

}  // namespace

void LoadAllJobs(JobSet& set, const std::wstring& dataFolder) {
    {
        const SettingsStore store;
        set.TaskBar = store.ReadBool(kMainSection, kTrayIconValue, kTrayIconDefault);
        set.Mostra = store.ReadBool(kMainSection, kShowDuringRunValue, kShowDuringRunDefault);
        for (int slot = 1; slot <= kJobCount; ++slot)
            set.Job(slot) = ToBackupJob(ReadJobValues(store, slot), std::move(set.Job(slot).Files));
    }
    for (int slot = 1; slot <= kJobCount; ++slot) {
        if (auto files = ReadFileList(FileListPath(dataFolder, slot))) set.Job(slot).Files = std::move(*files);
    }
}

void SaveAllJobs(const JobSet& set, const std::wstring& dataFolder) {
    {
        SettingsStore store;
        store.WriteBool(kMainSection, kTrayIconValue, set.TaskBar);
        store.WriteBool(kMainSection, kShowDuringRunValue, set.Mostra);
        for (int slot = 1; slot <= kJobCount; ++slot) WriteBackupJob(store, slot, set.Job(slot));
    }
    SaveFileLists(set, dataFolder);
}

}  // namespace vt
