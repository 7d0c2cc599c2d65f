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
    if (v.tipoOrario) page.edit3 = L"Alle ore: " + v.orario;
    if (v.avvio) page.edit3 = L"All'avvio";
    if (v.chiusura) page.edit3 = L"Alla chiusura";

    // Source and destination by what the job copies.
    if (v.tipoDir) {
        page.label6 = L"Cartella sorgente";
        page.label7 = L"Cartella destinazione";
        page.editSorgHint = L"Cartella sorgente (quella che verrà copiata)";
        page.editDestHint = kFolderDestHint;
        page.listSource = false;
        page.editSorg = v.sorgente;
        page.editDest = v.destinazione;
    }
    if (v.tipoFile) {
        page.label6 = L"File selezionati";
        page.label7 = L"Cartella destinazione";
        page.editDestHint = kFolderDestHint;
        page.listSource = true;
        page.fileSorg = v.files;
        page.editDest = v.destinazioneFile;
    }
    if (v.tipoExe) {
        page.label6 = kProgramSource;
        page.label7 = L"Riga di comando";
        page.editSorgHint = L"Nome del programma da lanciare";
        page.editDestHint = L"Riga di comando da inviare al programma";
        page.listSource = false;
        page.fileSorg.clear();
        page.editSorg = v.sorgenteExe;
        page.editDest = v.destinazioneExe;
    }

    if (v.giorni) page.edit3 = IntervalText(v.nrGiorni, L"Uno al giorno", L"giorni", page.daysFlag);
    if (v.ore) page.edit3 = IntervalText(v.nrOre, L"Ogni ora", L"ore", page.hoursFlag);
    if (v.manuale) {
        page.edit3 = L"Manuale";
        page.enableBoxEnabled = false;
    }
    if (v.destFtp) {
        page.label7 = L"Cartella ftp destinazione";
        page.editDest = v.ftpHost + v.ftpFolder;
    }

    // Completeness: an incomplete job can be neither enabled nor run.
    bool incomplete = false;
    if (!page.listSource && page.editSorg.empty()) {
        incomplete = true;
        page.editSorg = L"Nessuna";
    }
    if (page.listSource && (page.fileSorg.empty() || page.fileSorg.front().empty())) {
        incomplete = true;
        page.fileSorg = {L"Nessuno"};
    }
    if (page.editDest.empty()) {
        if (page.label6 != kProgramSource) incomplete = true;
        page.editDest = L"Nessuna";
    }
    if (page.edit3.find(L"--") != std::wstring::npos || page.edit3 == L"Nessuno") incomplete = true;

    page.enabled = v.attesa && !incomplete;
    if (incomplete) {
        page.enableBoxEnabled = false;
        page.runButtonEnabled = false;
    }
    return page;
}

}  // namespace vt
