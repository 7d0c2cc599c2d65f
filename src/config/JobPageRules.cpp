#include "config/JobPageRules.h"

#include "config/TimeMask.h"

namespace vt {

void StorePageValues(const JobPageValues& page, BackupJob& job) {
    job.source = page.sourceFolder;
    job.files = page.files;
    job.program = page.program;
    job.destination = page.destinationFolder;
    job.fileListDestination = page.fileListDestination;
    job.commandLine = page.commandLine;
    const int s = page.scheduleKind;
    job.atTime = s == kAtTime;
    job.atStartup = s == kAtStartup;
    job.atShutdown = s == kAtShutdown;
    job.everyNDays = s == kEveryNDays;
    job.everyNHours = s == kEveryNHours;
    job.manual = s == kManual;
    job.isFolder = page.dataKind == kFolder;
    job.isFileList = page.dataKind == kFileList;
    job.isProgram = page.dataKind == kLaunchProgram;
    job.destIsFtp = page.ftp;
    job.time = StoredTime(page.time);
    job.hoursInterval = StoredInterval(page.hours);
    job.daysInterval = StoredInterval(page.days);
    job.catchUp = page.catchUp;
}

void ShowPageValues(const BackupJob& job, JobPageValues& page) {
    page.sourceFolder = job.source;
    page.files = job.files;
    page.fileIndex = job.files.empty() ? -1 : 0;
    page.program = job.program;
    page.destinationFolder = job.destination;
    page.fileListDestination = job.fileListDestination;
    page.commandLine = job.commandLine;
    // The last true flag wins.
    const bool schedule[] = {job.atTime, job.atStartup, job.atShutdown, job.everyNDays, job.everyNHours, job.manual};
    for (int i = 0; i < 6; ++i)
        if (schedule[i]) page.scheduleKind = i;
    const bool data[] = {job.isFolder, job.isFileList, job.isProgram};
    for (int i = 0; i < 3; ++i)
        if (data[i]) page.dataKind = i;
    page.ftp = job.destIsFtp;
    page.time = TimeMaskValue(job.time);
    page.hours = job.hoursInterval;
    page.days = job.daysInterval;
    page.catchUp = job.catchUp;
}

std::optional<TimePanel> TimePanelFor(int scheduleKind) {
    switch (scheduleKind) {
        case kAtTime: return TimePanel::Time;
        case kAtStartup:
        case kAtShutdown:
        case kManual: return TimePanel::None;
        case kEveryNDays: return TimePanel::Days;
        case kEveryNHours: return TimePanel::Hours;
        default: return std::nullopt;
    }
}

std::optional<DataKindLayout> DataKindLayoutFor(int dataKind) {
    switch (dataKind) {
        case kFolder: return DataKindLayout{L"Cartella sorgente:", L"Cartella destinazione:", 1, 1, true};
        case kFileList: return DataKindLayout{L"File selezionati:", L"Cartella destinazione:", 2, 2, true};
        case kLaunchProgram: return DataKindLayout{L"Programma selezionato:", L"Riga di comando:", 3, 3, false};
        default: return std::nullopt;
    }
}

}  // namespace vt
