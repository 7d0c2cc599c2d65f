#include "app/JobPage.h"

#include "settings/FileListFile.h"
#include "settings/FtpDestination.h"
#include "settings/JobValues.h"
#include "win/Clock.h"
#include "win/DateTime.h"
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
    if (v.isFolder) {
        page.sourceTitle = L"Cartella sorgente";
        page.destinationTitle = L"Cartella destinazione";
        page.sourceHint = L"Cartella sorgente (quella che verrà copiata)";
        page.destinationHint = kFolderDestHint;
        page.listSource = false;
        page.sourcePath = v.source;
        page.destinationPath = v.destination;
    }
    if (v.isFileList) {
        page.sourceTitle = L"File selezionati";
        page.destinationTitle = L"Cartella destinazione";
        page.destinationHint = kFolderDestHint;
        page.listSource = true;
        page.sourceFiles = v.files;
        page.destinationPath = v.fileListDestination;
    }
    if (v.isProgram) {
        page.sourceTitle = kProgramSource;
        page.destinationTitle = L"Riga di comando";
        page.sourceHint = L"Nome del programma da lanciare";
        page.destinationHint = L"Riga di comando da inviare al programma";
        page.listSource = false;
        page.sourceFiles.clear();
        page.sourcePath = v.program;
        page.destinationPath = v.commandLine;
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

LastRunLine ComputeLastRunLine(const std::optional<LastRunOutcome>& last, const std::wstring& dateSeparator,
                               const std::wstring& timeSeparator) {
    if (!last) return {L"Ultimo backup: nessuno", false};
    const SYSTEMTIME t = FromDateTime(last->started);
    std::wstring text = L"Ultimo backup: " + TwoDigits(t.wDay) + dateSeparator + TwoDigits(t.wMonth) + dateSeparator +
                        std::to_wstring(t.wYear) + L" " + TwoDigits(t.wHour) + timeSeparator + TwoDigits(t.wMinute) +
                        L" - ";
    switch (last->outcome) {
        case RunOutcome::Completed: return {text + L"completato", false};
        case RunOutcome::WithErrors: return {text + L"con errori", true};
        case RunOutcome::Stopped: return {text + L"interrotto", false};
    }
    return {L"Ultimo backup: nessuno", false};
}

std::optional<LastRunOutcome> ReadStoredLastRun(int slot) { return ReadLastRunOutcome(SettingsStore(), slot); }

StoredJobValues ReadStoredJobValues(int slot, const std::wstring& dataFolder) {
    const SettingsStore store;
    const JobValues job = ReadJobValues(store, slot);
    const FtpDestination ftp = ReadFtpDestination(store, slot);
    StoredJobValues v;
    v.time = job.time.substr(0, kTimeCutForJobPage);
    v.enabled = job.enabled;
    v.atTime = job.atTime;
    v.atStartup = job.atStartup;
    v.atShutdown = job.atShutdown;
    v.isFolder = job.isFolder;
    v.isFileList = job.isFileList;
    v.isProgram = job.isProgram;
    v.source = job.source;
    v.destination = job.destination;
    v.fileListDestination = job.fileListDestination;
    v.program = job.program;
    v.commandLine = job.commandLine;
    v.everyNDays = job.everyNDays;
    v.everyNHours = job.everyNHours;
    v.manual = job.manual;
    v.destIsFtp = job.destIsFtp;
    v.daysInterval = job.daysInterval;
    v.hoursInterval = job.hoursInterval;
    v.ftpHost = ftp.host;
    v.ftpFolder = ftp.folder;
    if (v.isFileList) v.files = ReadFileList(FileListPath(dataFolder, slot)).value_or(std::vector<std::wstring>{});
    return v;
}

JobPageView ComputeJobPage(const StoredJobValues& v) {
    JobPageView page;
    // Schedule: each kind overrides the text of an earlier one.
    if (v.atTime) page.scheduleText = L"Alle ore: " + v.time;
    if (v.atStartup) page.scheduleText = L"All'avvio";
    if (v.atShutdown) page.scheduleText = L"Alla chiusura";
    ShowSourceAndDestination(v, page);

    if (v.everyNDays) page.scheduleText = IntervalText(v.daysInterval, L"Uno al giorno", L"giorni", page.daysFlag);
    if (v.everyNHours) page.scheduleText = IntervalText(v.hoursInterval, L"Ogni ora", L"ore", page.hoursFlag);
    if (v.manual) {
        page.scheduleText = L"Manuale";
        page.enableBoxEnabled = false;
    }
    if (v.destIsFtp) {
        page.destinationTitle = L"Cartella ftp destinazione";
        page.destinationPath = v.ftpHost + v.ftpFolder;
    }

    const bool incomplete = MarkMissingParts(page);
    page.enabled = v.enabled && !incomplete;
    if (incomplete) {
        page.enableBoxEnabled = false;
        page.runButtonEnabled = false;
    }
    return page;
}

}  // namespace vt
