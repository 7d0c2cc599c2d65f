#pragma once
// What became of one run, as the engine saw it while it wrote the log.
namespace vt {

struct RunRecord {
    int slot = 0;
    // A line telling of something not done went to the log: a path not ready, a file or folder
    // not copied, the FTP site not reached, a program not launched, a copy not removed.
    bool failureLogged = false;
    // A raised failure ended the run before its end (the log could not be written, among others).
    bool endedByFailure = false;
    // The user pressed Esc and answered Yes to the stop question.
    bool stoppedByUser = false;

    bool Failed() const { return failureLogged || endedByFailure; }
};

}  // namespace vt
