#include "app/JobPage.h"

#include "settings/FileListFile.h"
#include "settings/FtpDestination.h"
#include "settings/JobValues.h"
#include "win/Text.h"

namespace vt {

namespace {

constexpr wchar_t kProgramSource[] = L"Programma selezionato";
constexpr wchar_t kFolderDestHint[] = L"Cartella di destinazione (dove verrà effettuato il backup)";

// "Giorni"/"Ore": the interval in words, or "Nessuno" when it is not a number.
std::wstring IntervalText(const std::wstring& stored, const wchar_t* once, const wchar_t* unit, bool& flag) {
    int value = 0;
    if (!ParseInteger(stored, value)) return L"Nessuno";
    flag = true;
    return value == 1 ? std::wstring(once) : L"Ogni " + stored + L" " + unit;
}

// Source and destination by what the job copies; each kind overrides an earlier one.
void ShowSourceAndDestination(const StoredJobValues& v, JobPageView& page) {
    if (v.tipoDir) {
        page.sourceTitle = L"Cartella sorgente";
        page.destinationTitle = L"Cartella destinazione";
        page.sourceHint = L"Cartella sorgente (quella che verrà copiata)";
        page.destinationHint = kFolderDestHint;
        page.listSource = false;
        page.sourcePath = v.sorgente;
        page.destinationPath = v.destinazione;
    }
    if (v.tipoFile) {
        page.sourceTitle = L"File selezionati";
        page.destinationTitle = L"Cartella destinazione";
        page.destinationHint = kFolderDestHint;
        page.listSource = true;
        page.sourceFiles = v.files;
        page.destinationPath = v.destinazioneFile;
    }
    if (v.tipoExe) {
        page.sourceTitle = kProgramSource;
        page.destinationTitle = L"Riga di comando";
        page.sourceHint = L"Nome del programma da lanciare";
        page.destinationHint = L"Riga di comando da inviare al programma";
        page.listSource = false;
        page.sourceFiles.clear();
        page.sourcePath = v.sorgenteExe;
        page.destinationPath = v.destinazioneExe;
    }
}

// Completeness: an incomplete job can be neither enabled nor run. True when a part is missing;
// the missing parts then show "Nessuna" or "Nessuno".
bool MarkMissingParts(JobPageView& page) {
    bool incomplete = false;
    if (!page.listSource && page.sourcePath.empty()) {
        incomplete = true;
        page.sourcePath = L"Nessuna";
    }
    if (page.listSource && (page.sourceFiles.empty() || page.sourceFiles.front().empty())) {
        incomplete = true;
        page.sourceFiles = {L"Nessuno"};
    }
    if (page.destinationPath.empty()) {
        if (page.sourceTitle != kProgramSource) incomplete = true;
        page.destinationPath = L"Nessuna";
    }
    if (page.scheduleText.find(L"--") != std::wstring::npos || page.scheduleText == L"Nessuno") incomplete = true;
    return incomplete;
}

}  // namespace

StoredJobValues ReadStoredJobValues(int slot, const std::wstring& dataFolder) {
    const SettingsStore store;
    const JobValues job = ReadJobValues(store, slot);
    const FtpDestination ftp = ReadFtpDestination(store, slot);
    StoredJobValues v;
    v.orario = job.time.substr(0, kTimeCutForJobPage);
    v.attesa = job.enabled;
    v.tipoOrario = job.atTime;
    v.avvio = job.atStartup;
    v.chiusura = job.atShutdown;
    v.tipoDir = job.isFolder;
    v.tipoFile = job.isFileList;
    v.tipoExe = job.isProgram;
    v.sorgente = job.source;
    v.destinazione = job.destination;
    v.destinazioneFile = job.fileListDestination;
    v.sorgenteExe = job.program;
    v.destinazioneExe = job.commandLine;
    v.giorni = job.everyNDays;
    v.ore = job.everyNHours;
    v.manuale = job.manual;
    v.destFtp = job.destIsFtp;
    v.nrGiorni = job.daysInterval;
    v.nrOre = job.hoursInterval;
    v.ftpHost = ftp.host;
    v.ftpFolder = ftp.folder;
    if (v.tipoFile) v.files = ReadFileList(FileListPath(dataFolder, slot)).value_or(std::vector<std::wstring>{});
    return v;
}

JobPageView ComputeJobPage(const StoredJobValues& v) {
    JobPageView page;
    // Schedule: each kind overrides the text of an earlier one.
    if (v.tipoOrario) page.scheduleText = L"Alle ore: " + v.orario;
    if (v.avvio) page.scheduleText = L"All'avvio";
    if (v.chiusura) page.scheduleText = L"Alla chiusura";
    ShowSourceAndDestination(v, page);

    if (v.giorni) page.scheduleText = IntervalText(v.nrGiorni, L"Uno al giorno", L"giorni", page.daysFlag);
    if (v.ore) page.scheduleText = IntervalText(v.nrOre, L"Ogni ora", L"ore", page.hoursFlag);
    if (v.manuale) {
        page.scheduleText = L"Manuale";
        page.enableBoxEnabled = false;
    }
    if (v.destFtp) {
        page.destinationTitle = L"Cartella ftp destinazione";
        page.destinationPath = v.ftpHost + v.ftpFolder;
    }

    const bool incomplete = MarkMissingParts(page);
    page.enabled = v.attesa && !incomplete;
    if (incomplete) {
        page.enableBoxEnabled = false;
        page.runButtonEnabled = false;
    }
    return page;
}

}  // namespace vt
