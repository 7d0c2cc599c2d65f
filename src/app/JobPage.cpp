#include "app/JobPage.h"

#include "settings/FileListFile.h"
#include "settings/SettingsStore.h"
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
    const std::wstring section = JobSection(slot);
    auto text = [&](const wchar_t* name, const wchar_t* fallback = L"") {
        return store.ReadString(kMainSection, SlotValueName(name, slot), fallback);
    };
    auto flag = [&](const wchar_t* name, bool fallback) {
        return store.ReadBool(kMainSection, SlotValueName(name, slot), fallback);
    };
    StoredJobValues v;
    v.orario = text(L"Orario", L"--:--").substr(0, 6);
    v.attesa = flag(L"Attesa", false);
    v.tipoOrario = flag(L"TipoOrario", true);
    v.avvio = flag(L"Avvio", false);
    v.chiusura = flag(L"Chiusura", false);
    v.tipoDir = flag(L"TipoDir", true);
    v.tipoFile = flag(L"TipoFile", false);
    v.tipoExe = flag(L"TipoExe", false);
    v.sorgente = text(L"Sorgente");
    v.destinazione = text(L"Destinazione");
    v.destinazioneFile = text(L"DestinazioneFile");
    v.sorgenteExe = text(L"SorgenteExe");
    v.destinazioneExe = text(L"DestinazioneExe");
    v.giorni = store.ReadBool(section, L"Giorni", false);
    v.ore = store.ReadBool(section, L"Ore", false);
    v.manuale = store.ReadBool(section, L"Manuale", false);
    v.destFtp = store.ReadBool(section, L"DestFTP", false);
    v.nrGiorni = store.ReadString(section, L"NrGiorni", L"");
    v.nrOre = store.ReadString(section, L"NrOre", L"");
    v.ftpHost = store.ReadString(section, L"ftp-HN", L"");
    v.ftpFolder = store.ReadString(section, L"ftp-HDN", L"");
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
