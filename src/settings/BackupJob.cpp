#include "settings/BackupJob.h"

#include "settings/FileListFile.h"
#include "settings/SettingsStore.h"

namespace vt {

void LoadAllJobs(JobSet& set, const std::wstring& dataFolder) {
    {
        SettingsStore store;
        set.TaskBar = store.ReadBool(kMainSection, L"Task Bar", false);
        set.Mostra = store.ReadBool(kMainSection, L"Mostra", true);
        for (int slot = 1; slot <= kJobCount; ++slot) {
            BackupJob& job = set.Job(slot);
            const std::wstring section = JobSection(slot);
            auto inMain = [&](const wchar_t* name) { return SlotValueName(name, slot); };
            job.Sorgente = store.ReadString(kMainSection, inMain(L"Sorgente"), L"");
            job.SorgenteExe = store.ReadString(kMainSection, inMain(L"SorgenteExe"), L"");
            job.Destinazione = store.ReadString(kMainSection, inMain(L"Destinazione"), L"");
            job.DestinazioneFile = store.ReadString(kMainSection, inMain(L"DestinazioneFile"), L"");
            job.DestinazioneExe = store.ReadString(kMainSection, inMain(L"DestinazioneExe"), L"");
            job.Orario = store.ReadString(kMainSection, inMain(L"Orario"), L"--:--").substr(0, 5);
            job.NrOre = store.ReadString(section, L"NrOre", L"").substr(0, 2);
            job.NrGiorni = store.ReadString(section, L"NrGiorni", L"").substr(0, 2);
            job.TipoOrario = store.ReadBool(kMainSection, inMain(L"TipoOrario"), true);
            job.Avvio = store.ReadBool(kMainSection, inMain(L"Avvio"), false);
            job.Chiusura = store.ReadBool(kMainSection, inMain(L"Chiusura"), false);
            job.Giorni = store.ReadBool(section, L"Giorni", false);
            job.Ore = store.ReadBool(section, L"Ore", false);
            job.Manuale = store.ReadBool(section, L"Manuale", false);
            job.TipoDir = store.ReadBool(kMainSection, inMain(L"TipoDir"), true);
            job.TipoFile = store.ReadBool(kMainSection, inMain(L"TipoFile"), false);
            job.TipoExe = store.ReadBool(kMainSection, inMain(L"TipoExe"), false);
            job.DestFTP = store.ReadBool(section, L"DestFTP", false);
        }
    }
    for (int slot = 1; slot <= kJobCount; ++slot) {
        if (auto files = ReadFileList(FileListPath(dataFolder, slot))) set.Job(slot).Files = std::move(*files);
    }
}

void SaveAllJobs(const JobSet& set, const std::wstring& dataFolder) {
    {
        SettingsStore store;
        store.WriteBool(kMainSection, L"Task Bar", set.TaskBar);
        store.WriteBool(kMainSection, L"Mostra", set.Mostra);
        for (int slot = 1; slot <= kJobCount; ++slot) {
            const BackupJob& job = set.Job(slot);
            const std::wstring section = JobSection(slot);
            auto inMain = [&](const wchar_t* name) { return SlotValueName(name, slot); };
            store.WriteString(kMainSection, inMain(L"Sorgente"), job.Sorgente);
            store.WriteString(kMainSection, inMain(L"SorgenteExe"), job.SorgenteExe);
            store.WriteString(kMainSection, inMain(L"Destinazione"), job.Destinazione);
            store.WriteString(kMainSection, inMain(L"DestinazioneFile"), job.DestinazioneFile);
            store.WriteString(kMainSection, inMain(L"DestinazioneExe"), job.DestinazioneExe);
            store.WriteString(kMainSection, inMain(L"Orario"), job.Orario);
            store.WriteString(section, L"NrOre", job.NrOre);
            store.WriteString(section, L"NrGiorni", job.NrGiorni);
            store.WriteBool(kMainSection, inMain(L"TipoOrario"), job.TipoOrario);
            store.WriteBool(kMainSection, inMain(L"Avvio"), job.Avvio);
            store.WriteBool(kMainSection, inMain(L"Chiusura"), job.Chiusura);
            store.WriteBool(section, L"Giorni", job.Giorni);
            store.WriteBool(section, L"Ore", job.Ore);
            store.WriteBool(section, L"Manuale", job.Manuale);
            store.WriteBool(kMainSection, inMain(L"TipoDir"), job.TipoDir);
            store.WriteBool(kMainSection, inMain(L"TipoFile"), job.TipoFile);
            store.WriteBool(kMainSection, inMain(L"TipoExe"), job.TipoExe);
            store.WriteBool(section, L"DestFTP", job.DestFTP);
        }
    }
    SaveFileLists(set, dataFolder);
}

}  // namespace vt
