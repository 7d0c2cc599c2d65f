#pragma once
// The in-memory record of one backup job and the loading and saving of all five.
#include <array>
#include <string>
#include <vector>

#include "settings/JobNames.h"

namespace vt {

struct BackupJob {
    std::wstring source;
    std::vector<std::wstring> files;
    std::wstring program;
    std::wstring destination;
    std::wstring fileListDestination;
    std::wstring commandLine;
    bool atTime = true;
    bool atStartup = false;
    bool atShutdown = false;
    bool everyNDays = false;
    bool everyNHours = false;
    bool manual = false;
    std::wstring time = L"--:--";
    std::wstring hoursInterval;
    std::wstring daysInterval;
    bool isFolder = true;
    bool isFileList = false;
    bool isProgram = false;
    bool destIsFtp = false;
    bool catchUp = false;  // "Recupera se perso"
};

// What the set-up window holds while it is open: the two global switches and five jobs.
struct JobSet {
    bool trayIcon = false;
    bool showDuringRun = true;
    std::array<BackupJob, kJobCount> jobs;

    BackupJob& Job(int slot) { return jobs[static_cast<size_t>(slot - 1)]; }
    const BackupJob& Job(int slot) const { return jobs[static_cast<size_t>(slot - 1)]; }
};

// Fills the set from the store and the file-list files in dataFolder. A missing or
// unreadable list file leaves that job's list as it was.
void LoadAllJobs(JobSet& set, const std::wstring& dataFolder);
// Writes every value of every slot, then the file-list files (reporting each failing slot).
void SaveAllJobs(const JobSet& set, const std::wstring& dataFolder);

}  // namespace vt
