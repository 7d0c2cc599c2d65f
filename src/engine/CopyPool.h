#pragma once
// The files of one local copy, copied on a few worker threads while the window's thread walks.
// Everything a user sees stays as a one-thread copy shows it: the line of a file that failed,
// and every line of the walk, is written only after the lines of the files handed over before
// it; Esc is polled (and the window repainted) at least every 50 ms; after a Yes no further
// file starts, and the files in flight finish and write their lines before the stop's line.
// The workers touch no window, no registry and no log: they copy and hand back a result.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "engine/LinkedCopy.h"
#include "engine/RunContext.h"

namespace vt {

inline constexpr unsigned kCopyWorkers = 4;
// Tests and the bench choose how many workers a copy may start; 0 copies on the calling
// thread, as a copy does when no thread can be had. kWorkersByRule puts the rule back.
inline constexpr unsigned kWorkersByRule = ~0u;
void SetCopyWorkers(unsigned count);
// From this size on a file is worth a worker of its own: its data, not the system's bookkeeping,
// takes the time, and several such copies overlap.
inline constexpr ULONGLONG kLargeFile = 1u << 20;
// How many workers may copy the file at the front of the queue. Small files into a local folder
// get one: each copy is a handful of requests to the one wineserver process (and, on Windows, a
// few calls into one file system), so on two cores more threads gain no time and cost CPU (20,000
// files of 4 KiB, medians of 5: one worker 7.8 s and 7.8 s of CPU, ours and the wineserver's;
// four workers 8.3 s and 11.6 s). A large file, a file of unknown size (a listed one), or any
// file to a network folder, which waits on the disk or the network, gets kCopyWorkers.
unsigned WorkersFor(bool networkDestination, std::optional<ULONGLONG> fileSize);
// A UNC path (plain or long-path form) or a drive the system reports as a network drive.
bool IsNetworkPath(const std::wstring& path);
// Called on a worker before each file it copies or links: tests hold a file in flight. An
// empty function ends it.
void SetCopyStartSeam(std::function<void(const std::wstring& from)> seam);
// A path as the file system compares it: names that differ only in case are one file.
std::wstring TargetKey(const std::wstring& path);

class CopyPool {
public:
    // sharing: files carry the place of their previous copy, to be linked when unchanged.
    CopyPool(RunContext& run, bool sharing);
    // Files not started are dropped, files in flight finish; lines not yet written are lost,
    // which only happens when the run ends on a raised failure.
    ~CopyPool();
    CopyPool(const CopyPool&) = delete;
    CopyPool& operator=(const CopyPool&) = delete;

    // Polls Esc when it is due; false once the user has stopped the copy.
    bool Continue();
    // True while unchanged files are still to be linked: then each file names its previous copy.
    bool Linking() const { return sharing_ && linksWork_.load(std::memory_order_relaxed); }
    // Hands one file over; `shown` names it in the log when it fails. Waits, polling Esc, while
    // many files are ahead or another file for the same target is in flight. False once the
    // user has stopped the copy: the file is not copied.
    bool Add(FileCopy file, std::wstring shown);
    // A line of the walk, written after the lines of the files handed over before it; failure:
    // it tells of something not done.
    void Log(std::wstring line, bool failure = false);
    // Waits until every file handed over is done and its line written, polling Esc.
    void Finish();

private:
    enum class State { Waiting, Running, Done };
    struct Item {
        FileCopy file;
        std::wstring text;  // the line, or the file as the log shows it
        std::wstring key;   // the target as the file system compares it; empty for a line
        bool isLine = false;
        bool failed = false;  // a file not copied, or a line telling of something not done
        State state = State::Waiting;
    };
    using Clock = std::chrono::steady_clock;
    // What the window's thread waits for; the workers wake it only once that has come.
    enum class Await { Nothing, Room, AllDone, Target };

    Item& At(size_t seq) { return items_[seq - firstSeq_]; }
    void Work();
    void Start();
    // Under the lock: whether an idle worker may take the file at the front of the queue.
    bool MayTake() const;
    unsigned LimitFor(const FileCopy& file) const;
    unsigned Limit() const;  // under the lock: the workers the front file may have
    unsigned WorkersWanted(const FileCopy& file) const;  // under the lock: workers to have for it
    void CopyHere();  // the file just handed over, on the window's thread, under the lock
    // Waits for `what` or the next poll, writes what is ready, polls Esc when due.
    void Progress(std::unique_lock<std::mutex>& lock, Await what);
    bool MainMayGoOn() const;  // under the lock
    void WakeMainIfDue();      // under the lock
    void WriteReady();
    void Poll();
    // After a Yes: the files not started are dropped with everything handed over after them,
    // and the files in flight are waited for and their lines written.
    void StopHere();

    RunContext& run_;
    const bool sharing_;
    const bool network_;
    std::atomic<bool> linksWork_{true};
    Clock::time_point nextPoll_{};

    std::mutex mutex_;
    std::condition_variable work_, done_;
    std::deque<Item> items_;    // handed over and not yet written, in walk order
    size_t firstSeq_ = 0;       // the number of items_.front()
    std::deque<size_t> waiting_;  // files no worker has taken, in walk order
    std::unordered_set<std::wstring> targets_;  // targets of files not done
    size_t unfinished_ = 0;                     // files waiting or in flight
    std::vector<std::thread> workers_;
    unsigned idle_ = 0;
    unsigned smallRunning_ = 0;  // files in flight that only one worker may copy at a time
    size_t largeUnfinished_ = 0;  // files waiting or in flight that may have a worker each
    bool paused_ = false, closing_ = false;
    Await await_ = Await::Nothing;
    std::wstring awaitedKey_;
};

}  // namespace vt
