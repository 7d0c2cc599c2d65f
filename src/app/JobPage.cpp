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
