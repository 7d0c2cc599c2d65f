#pragma once
// The state of the one run in progress, shared by the steps of a job.
#include <functional>
#include <string>
#include <vector>

#include "engine/RunHost.h"
#include "settings/JobValues.h"

namespace vt {

class TFtpClient;

struct RunContext {
    RunHost& host;
    int slot = 0;
    JobValues job;                    // the job's values as read at the start of the run
    bool stopRequested = false;
    bool stoppedByUser = false;       // stays set when a later step clears stopRequested
    bool failureLogged = false;       // a line telling of something not done was written
    std::wstring sourceRoot;          // Folder jobs: the source, "C:" for "C:\"
    std::wstring datedDestination;    // where this run's copy goes
    TFtpClient* ftp = nullptr;        // the engine's FTP session
    std::wstring remoteBase;          // "ftp-HDN" as read when connecting
    std::vector<std::wstring> knownRemoteFolders;  // folders made during this connection

    void Log(const std::wstring& line) { host.AppendLog(line); }
    // A line telling of something not done: the run counts as failed, even when the log
    // cannot take the line.
    void Fail(const std::wstring& line) {
        failureLogged = true;
        Log(line);
    }
    void Status(const std::wstring& text) { host.SetStatusText(text); }
    // A check before copying failed: the job ends with this one line.
    void Refuse(const std::wstring& line) {
        host.SetBusyCursor(false);
        Fail(line);
    }

    // When Esc has been pressed, asks whether to stop. On Yes `beforeLine` runs first (a
    // parallel copy writes the lines of its files in flight there), then the run is marked
    // stopped and `closing` is shown; returns true then.
    bool AskStop(const wchar_t* closing, const std::function<void()>& beforeLine = {});
};

}  // namespace vt
