#include "config/JobPageRules.h"

#include "config/TimeMask.h"

namespace vt {

void StorePageValues(const JobPageValues& page, BackupJob& job) {
    job.Sorgente = page.sourceFolder;
    job.Files = page.files;
    job.SorgenteExe = page.program;
    job.Destinazione = page.destinationFolder;
    job.DestinazioneFile = page.filesDestination;
    job.DestinazioneExe = page.commandLine;
    const int s = page.scheduleKind;
    job.TipoOrario = s == kAtTime;
    job.Avvio = s == kAtStartup;
    job.Chiusura = s == kAtShutdown;
    job.Giorni = s == kEveryNDays;
    job.Ore = s == kEveryNHours;
    job.Manuale = s == kManual;
    job.TipoDir = page.dataKind == kFolder;
    job.TipoFile = page.dataKind == kFileList;
    job.TipoExe = page.dataKind == kLaunchProgram;
    job.DestFTP = page.ftp;
    job.Orario = StoredTime(page.time);
    job.NrOre = StoredInterval(page.hours);
    job.NrGiorni = StoredInterval(page.days);
}

void ShowPageValues(const BackupJob& job, JobPageValues& page) {
    page.sourceFolder = job.Sorgente;
    page.files = job.Files;
    page.fileIndex = job.Files.empty() ? -1 : 0;
    page.program = job.SorgenteExe;
    page.destinationFolder = job.Destinazione;
    page.filesDestination = job.DestinazioneFile;
    page.commandLine = job.DestinazioneExe;
    // The last true flag wins.
    const bool schedule[] = {job.TipoOrario, job.Avvio, job.Chiusura, job.Giorni, job.Ore, job.Manuale};
    for (int i = 0; i < 6; ++i)
        if (schedule[i]) page.scheduleKind = i;
    const bool data[] = {job.TipoDir, job.TipoFile, job.TipoExe};
    for (int i = 0; i < 3; ++i)
        if (data[i]) page.dataKind = i;
    page.ftp = job.DestFTP;
    page.time = TimeMaskValue(job.Orario);
    page.hours = job.NrOre;
    page.days = job.NrGiorni;
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
