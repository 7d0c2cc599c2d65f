#include "engine/BackupEngine.h"

#include <exception>
#include <utility>

#include "engine/FileListCopy.h"
#include "engine/FolderCopy.h"
#include "engine/IntervalCheck.h"
#include "engine/ProgramLaunch.h"
#include "engine/RunContext.h"
#include "engine/TimeStamps.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "win/Clock.h"
#include "win/DateTime.h"
#include "win/Text.h"

namespace vt {

namespace {

double Now() { return ToDateTime(LocalNow()); }

}  // namespace

DataKind DataKindOf(int slot, const JobValues& job) {
    if (slot < 1 || slot > kJobCount) return DataKind::None;
    if (job.isFolder) return DataKind::Folder;
    if (job.isProgram) return DataKind::LaunchProgram;
    if (job.isFileList) return DataKind::FileList;
    return DataKind::None;
}

DataKind DetectDataKind(int slot) { return DataKindOf(slot, ReadJobValues(slot)); }

void BackupEngine::RunJob(int slot, const std::wstring& leadLine) {
    if (running_) return;
    running_ = true;
    lastRun_ = RunRecord{slot};
    try {
        RunOpened(slot, leadLine);
    } catch (...) {
        // The log could not take an opening line: the run stops there and the caller hears of it.
        running_ = false;
        lastRun_->endedByFailure = true;
        throw;
    }
    running_ = false;
}

std::optional<RunRecord> BackupEngine::TakeLastRun() { return std::exchange(lastRun_, std::nullopt); }

void BackupEngine::RunOpened(int slot, const std::wstring& leadLine) {
    host_.ShowForRun();
    host_.SetStatusText(L"ATTENDERE! Backup in corso...");
    host_.SetBusyCursor(true);
    host_.AppendLog(L"");
    host_.AppendLog(LogTimeNow());
    if (!leadLine.empty()) host_.AppendLog(leadLine);
    host_.AppendLog(L"Avvio backup numero " + std::to_wstring(slot));
    // The job as it is now: what the set-up window saves during the run counts from the next.
    const JobValues job = ReadJobValues(slot);
    if (job.destIsFtp) host_.AppendLog(L"Destinazione sito ftp");
    RunKind(slot, job, DataKindOf(slot, job));
    host_.SetBusyCursor(false);
    host_.SetStatusText(L"");
    host_.HideAfterRun();
    // Every run ends by closing the FTP connection; without one the Quit ends after 1 second.
    ftp_.Timeout = 1;
    ftp_.Quit();
    ftp_.Timeout = 10;
}

void BackupEngine::RunKind(int slot, const JobValues& job, DataKind kind) {
    // A log that cannot take this line passes on to the caller, as the opening lines do.
    if (kind == DataKind::None) {
        lastRun_->failureLogged = true;
        return host_.AppendLog(L"Problemi nell'identificazione del tipo di backup");
    }
    RunContext run{host_, slot, job};
    run.ftp = &ftp_;
    // A failure inside the job, its "Tipo di backup" line included, ends it silently; the
    // window is put back all the same.
    try {
        switch (kind) {
            case DataKind::Folder:
                run.Log(L"Tipo di backup : Cartelle");
                RunFolderJob(run);
                break;
            case DataKind::FileList:
                run.Log(L"Tipo di backup : File");
                RunFileListJob(run, dataFolder_);
                break;
            case DataKind::LaunchProgram:
                run.Log(L"Tipo di backup : Lancio di un file");
                RunLaunchJob(run);
                break;
            case DataKind::None: break;
        }
    } catch (const std::exception&) {
        lastRun_->endedByFailure = true;
    }
    lastRun_->failureLogged = run.failureLogged;
    lastRun_->stoppedByUser = run.stoppedByUser;
}

void BackupEngine::RunIfHoursElapsed(int slot) { RunIfElapsed(slot, IntervalUnit::Hours); }

void BackupEngine::RunIfDaysElapsed(int slot) { RunIfElapsed(slot, IntervalUnit::Days); }

void BackupEngine::RunIfElapsed(int slot, IntervalUnit unit) {
    if (!host_.JobEnabled(slot) || running_) return;
    std::wstring interval;
    double lastRun = 0.0;
    {
        SettingsStore store;
        if (!store.IsOpen()) return;
        interval = ReadInterval(store, slot, unit);
        if (const auto stored = ReadLastRun(store, slot)) lastRun = *stored;
        else WriteLastRun(store, slot, Now());  // never run: due at once
    }
    int n = 0;
    const double unitDays = unit == IntervalUnit::Hours ? kOneHour : 1.0;
    if (!ParseInteger(interval, n) || !IntervalDue(Now(), lastRun, n, unitDays)) return;
    RunJob(slot);
    SettingsStore store;
    WriteLastRun(store, slot, Now());
}

}  // namespace vt
