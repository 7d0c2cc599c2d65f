#include "config/JobPageRules.h"

#include "config/TimeMask.h"

namespace vt {

void StorePageValues(const JobPageValues& page, BackupJob& job) {
    job.Sorgente = page.sorg1;
    job.Files = page.files;
    job.SorgenteExe = page.sorg3;
    job.Destinazione = page.dest1;
    job.DestinazioneFile = page.dest2;
    job.DestinazioneExe = page.dest3;
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
    job.Orario = StoredTime(page.ora);
    job.NrOre = StoredInterval(page.ore);
    job.NrGiorni = StoredInterval(page.giorni);
}

void ShowPageValues(const BackupJob& job, JobPageValues& page) {
    page.sorg1 = job.Sorgente;
    page.files = job.Files;
    page.fileIndex = job.Files.empty() ? -1 : 0;
    page.sorg3 = job.SorgenteExe;
    page.dest1 = job.Destinazione;
    page.dest2 = job.DestinazioneFile;
    page.dest3 = job.DestinazioneExe;
    // The last true flag wins.
    const bool schedule[] = {job.TipoOrario, job.Avvio, job.Chiusura, job.Giorni, job.Ore, job.Manuale};
    for (int i = 0; i < 6; ++i)
        if (schedule[i]) page.scheduleKind = i;
    const bool data[] = {job.TipoDir, job.TipoFile, job.TipoExe};
    for (int i = 0; i < 3; ++i)
        if (data[i]) page.dataKind = i;
    page.ftp = job.DestFTP;
    page.ora = TimeMaskValue(job.Orario);
    page.ore = job.NrOre;
    page.giorni = job.NrGiorni;
}

std::optional<TimePanel> TimePanelFor(int scheduleKind) {
    switch (scheduleKind) {
        case kAtTime: return TimePanel::Orario;
        case kAtStartup:
        case kAtShutdown:
        case kManual: return TimePanel::None;
        case kEveryNDays: return TimePanel::Giorni;
        case kEveryNHours: return TimePanel::Ore;
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
