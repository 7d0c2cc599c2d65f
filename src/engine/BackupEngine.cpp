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

DataKind DetectDataKind(int slot) {
    if (slot < 1 || slot > kJobCount) return DataKind::None;
    const SettingsStore store;
    const bool file = store.ReadBool(kMainSection, SlotValueName(L"TipoFile", slot), false);
    const bool exe = store.ReadBool(kMainSection, SlotValueName(L"TipoExe", slot), false);
    const bool dir = store.ReadBool(kMainSection, SlotValueName(L"TipoDir", slot), true);
    if (dir) return DataKind::Folder;
    if (exe) return DataKind::LaunchProgram;
    if (file) return DataKind::FileList;
    return DataKind::None;
}

void TFormBackup::RunJob(int slot) {
    if (running_) return;
    running_ = true;
    lastRun_ = RunRecord{slot};
    try {
        RunOpened(slot);
    } catch (...) {
        // The log could not take an opening line: the run stops there and the caller hears of it.
        running_ = false;
        lastRun_->endedByFailure = true;
        throw;
    }
    running_ = false;
}

std::optional<RunRecord> TFormBackup::TakeLastRun() { return std::exchange(lastRun_, std::nullopt); }

void TFormBackup::RunOpened(int slot) {
    host_.ShowForRun();
    host_.SetStatusText(L"ATTENDERE! Backup in corso...");
    host_.SetBusyCursor(true);
    host_.AppendLog(L"");
    host_.AppendLog(LogTimeNow());
    host_.AppendLog(L"Avvio backup numero " + std::to_wstring(slot));
    const bool destIsFtp = SettingsStore().ReadBool(JobSection(slot), L"DestFTP", false);
    if (destIsFtp) host_.AppendLog(L"Destinazione sito ftp");
    RunKind(slot, destIsFtp, DetectDataKind(slot));
    host_.SetBusyCursor(false);
    host_.SetStatusText(L"");
    host_.HideAfterRun();
    // Every run ends by closing the FTP connection; without one the Quit ends after 1 second.
    ftp_.Timeout = 1;
    ftp_.Quit();
    ftp_.Timeout = 10;
}

void TFormBackup::RunKind(int slot, bool destIsFtp, DataKind kind) {
    // A log that cannot take this line passes on to the caller, as the opening lines do.
    if (kind == DataKind::None) {
        lastRun_->failureLogged = true;
        return host_.AppendLog(L"Problemi nell'identificazione del tipo di backup");
    }
    RunContext run{host_, slot, destIsFtp};
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
}

void TFormBackup::RunIfHoursElapsed(int slot) { RunIfElapsed(slot, L"NrOre", kOneHour); }

void TFormBackup::RunIfDaysElapsed(int slot) { RunIfElapsed(slot, L"NrGiorni", 1.0); }

void TFormBackup::RunIfElapsed(int slot, const wchar_t* intervalName, double unitDays) {
    if (!host_.JobEnabled(slot) || running_) return;
    const std::wstring section = JobSection(slot);
    std::wstring interval;
    double lastRun = 0.0;
    {
        SettingsStore store;
        if (!store.IsOpen()) return;
        interval = store.ReadString(section, intervalName, L"");
        if (const auto stored = store.ReadDateTime(section, L"Tempo")) lastRun = *stored;
        else store.WriteDateTime(section, L"Tempo", Now());  // never run: due at once
    }
    int n = 0;
    if (!ParseInteger(interval, n) || !IntervalDue(Now(), lastRun, n, unitDays)) return;
    RunJob(slot);
    SettingsStore().WriteDateTime(section, L"Tempo", Now());
}

}  // namespace vt
