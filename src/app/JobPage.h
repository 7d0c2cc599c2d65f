#pragma once
// What the main window's job page shows for one slot, computed from the stored job.
#include <optional>
#include <string>
#include <vector>

#include "settings/JobValues.h"

namespace vt {

// The stored values the page is made from.
struct StoredJobValues {
    std::wstring time = L"--:--";
    bool enabled = false;
    bool atTime = true, atStartup = false, atShutdown = false;
    bool isFolder = true, isFileList = false, isProgram = false;
    std::wstring source, destination, fileListDestination, program, commandLine;
    bool everyNDays = false, everyNHours = false, manual = false, destIsFtp = false;
    std::wstring daysInterval, hoursInterval, ftpHost, ftpFolder;
    std::vector<std::wstring> files;  // the lines of the slot's file-list file, if it could be read
};

struct JobPageView {
    std::wstring sourceTitle = L"Cartella sorgente";
    std::wstring destinationTitle = L"Cartella destinazione";
    std::optional<std::wstring> sourceHint, destinationHint;  // unset: leave the hint as it is
    bool listSource = false;  // the file list shown in the place of the source path
    std::wstring sourcePath;
    std::vector<std::wstring> sourceFiles;  // first item selected
    std::wstring destinationPath;
    std::wstring scheduleText = L"Nessuno";
    bool enabled = false;  // the enable box checked, and the job enabled flag
    bool enableBoxEnabled = true;
    bool runButtonEnabled = true;
    bool hoursFlag = false, daysFlag = false;
};

// The line under the schedule: when the job last ran and how that went.
struct LastRunLine {
    std::wstring text;
    bool failed = false;  // drawn in red
};
// dateSeparator and timeSeparator stand for "/" and ":" in "dd/mm/yyyy hh:nn".
LastRunLine ComputeLastRunLine(const std::optional<LastRunOutcome>& last, const std::wstring& dateSeparator,
                               const std::wstring& timeSeparator);
std::optional<LastRunOutcome> ReadStoredLastRun(int slot);

StoredJobValues ReadStoredJobValues(int slot, const std::wstring& dataFolder);
JobPageView ComputeJobPage(const StoredJobValues& values);

}  // namespace vt
