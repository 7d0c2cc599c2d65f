#pragma once
// The in-memory record of one backup job and the loading and saving of all five.
#include <array>
#include <string>
#include <vector>

#include "settings/JobNames.h"

namespace vt {

struct BackupJob {
    std::wstring Sorgente;
    std::vector<std::wstring> Files;
    std::wstring SorgenteExe;
    std::wstring Destinazione;
    std::wstring DestinazioneFile;
    std::wstring DestinazioneExe;
    bool TipoOrario = true;
    bool Avvio = false;
    bool Chiusura = false;
    bool Giorni = false;
    bool Ore = false;
    bool Manuale = false;
    std::wstring Orario = L"--:--";
    std::wstring NrOre;
    std::wstring NrGiorni;
    bool TipoDir = true;
    bool TipoFile = false;
    bool TipoExe = false;
    bool DestFTP = false;
};

// What the set-up window holds while it is open: the two global switches and five jobs.
struct JobSet {
    bool TaskBar = false;
    bool Mostra = true;
    std::array<BackupJob, kJobCount> Jobs;

    BackupJob& Job(int slot) { return Jobs[static_cast<size_t>(slot - 1)]; }
    const BackupJob& Job(int slot) const { return Jobs[static_cast<size_t>(slot - 1)]; }
};

// Fills the set from the store and the file-list files in dataFolder. A missing or
// unreadable list file leaves that job's list as it was.
void LoadAllJobs(JobSet& set, const std::wstring& dataFolder);
// Writes every value of every slot, then the file-list files (reporting each failing slot).
void SaveAllJobs(const JobSet& set, const std::wstring& dataFolder);

}  // namespace vt
