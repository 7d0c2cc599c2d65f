#pragma once
// The backup engine: runs one job from start to end on the user-interface thread.
#include <string>

#include <optional>

#include "engine/RunHost.h"
#include "engine/RunRecord.h"
#include "ftp/FtpClient.h"
#include "settings/JobValues.h"

namespace vt {

enum class DataKind { None, Folder, FileList, LaunchProgram };

// Folder over LaunchProgram over FileList, as the flags are read; None for a slot outside 1..5.
DataKind DataKindOf(int slot, const JobValues& job);
DataKind DetectDataKind(int slot);

class BackupEngine {
public:
    BackupEngine(RunHost& host, std::wstring dataFolder) : host_(host), dataFolder_(std::move(dataFolder)) {}

    // Runs the job of the slot and returns when it has ended. Only one run at a time: a call
    // while a run is in progress (from inside its message loop) does nothing, and callers
    // are to wait until Running() is false. A log that cannot be written at the opening lines
    // raises IoFailure to the caller. A lead line goes to the log before "Avvio backup numero".
    void RunJob(int slot, const std::wstring& leadLine = L"");
    bool Running() const { return running_; }
    // The record of the last run, handed over once: nothing when no run began since.
    std::optional<RunRecord> TakeLastRun();

    // The EveryNHours and EveryNDays checks: run when the interval has passed since "Tempo".
    void RunIfHoursElapsed(int slot);
    void RunIfDaysElapsed(int slot);

private:
    void RunIfElapsed(int slot, IntervalUnit unit);
    void RunOpened(int slot, const std::wstring& leadLine);
    void RunKind(int slot, const JobValues& job, DataKind kind);

    RunHost& host_;
    std::wstring dataFolder_;
    bool running_ = false;
    std::optional<RunRecord> lastRun_;
    TFtpClient ftp_;
};

}  // namespace vt
