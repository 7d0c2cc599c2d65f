#include "engine/CopyPool.h"

#include <windows.h>

#include <algorithm>
#include <system_error>

namespace vt {

namespace {

unsigned g_workers = kWorkersByRule;
std::function<void(const std::wstring&)> g_startSeam;

// Files waiting for a worker: enough to keep the workers busy between two looks of the window's
// thread, few enough that a stop drops little work. Once the queue is full, the window's thread
// sleeps until it is down to kRefillAt, so it is woken once for many files, not once per file.
constexpr size_t kMaxWaiting = 256, kRefillAt = 64;
// Results held behind one file still in flight (a large one) before the walk waits for it.
constexpr size_t kMaxHeld = 8192;
// At least every 50 ms, with room for the system's timer steps.
constexpr auto kPollEvery = std::chrono::milliseconds(25);
constexpr wchar_t kClosing[] = L"ATTENDERE! Chiusura in corso...";

}  // namespace

std::wstring TargetKey(const std::wstring& path) {
    std::wstring key = path;
    // Names that differ only in case are one file to the system.
    if (!key.empty())
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(), static_cast<int>(path.size()), key.data(),
                      static_cast<int>(key.size()), nullptr, nullptr, 0);
    return key;
}

void SetCopyWorkers(unsigned count) { g_workers = count; }

unsigned WorkersFor(bool networkDestination, std::optional<ULONGLONG> fileSize) {
    // A size not known (a listed file) counts as large: a list is short and picked by hand.
    return networkDestination || !fileSize || *fileSize >= kLargeFile ? kCopyWorkers : 1;
}

bool IsNetworkPath(const std::wstring& path) {
    std::wstring plain = path;
    if (plain.rfind(L"\\\\?\\UNC\\", 0) == 0) return true;
    if (plain.rfind(L"\\\\?\\", 0) == 0) plain.erase(0, 4);
    if (plain.rfind(L"\\\\", 0) == 0) return true;
    if (plain.size() < 2 || plain[1] != L':') return false;
    const wchar_t root[] = {plain[0], L':', L'\\', L'\0'};
    return GetDriveTypeW(root) == DRIVE_REMOTE;
}

void SetCopyStartSeam(std::function<void(const std::wstring& from)> seam) { g_startSeam = std::move(seam); }

CopyPool::CopyPool(RunContext& run, bool sharing)
    : run_(run), sharing_(sharing), network_(IsNetworkPath(run.datedDestination)) {}

unsigned CopyPool::LimitFor(const FileCopy& file) const {
    if (g_workers != kWorkersByRule) return g_workers;
    return WorkersFor(network_, file.source ? std::optional(file.source->size) : std::nullopt);
}

unsigned CopyPool::Limit() const {
    return waiting_.empty() ? LimitFor(FileCopy{}) : LimitFor(items_[waiting_.front() - firstSeq_].file);
}

bool CopyPool::MayTake() const {
    if (paused_ || waiting_.empty()) return false;
    // A small file waits for the one small file in flight, never for a large one.
    return g_workers != kWorkersByRule || Limit() > 1 || smallRunning_ == 0;
}

CopyPool::~CopyPool() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        waiting_.clear();
    }
    work_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

bool CopyPool::Continue() {
    if (Clock::now() >= nextPoll_) Poll();
    return !run_.stopRequested;
}

bool CopyPool::Add(FileCopy file, std::wstring shown) {
    std::wstring key = TargetKey(file.to);
    std::unique_lock lock(mutex_);
    for (;;) {
        if (run_.stopRequested) return false;
        // A second file for one target (a name listed twice) waits for the first, so the later
        // one wins as it does in walk order.
        if (targets_.count(key)) {
            awaitedKey_ = key;
            Progress(lock, Await::Target);
        } else if (waiting_.size() >= kMaxWaiting || items_.size() >= kMaxHeld) {
            Progress(lock, Await::Room);
        } else {
            break;
        }
    }
    targets_.insert(key);
    ++unfinished_;
    waiting_.push_back(firstSeq_ + items_.size());
    items_.push_back(Item{std::move(file), std::move(shown), std::move(key)});
    largeUnfinished_ += LimitFor(items_.back().file) > 1;
    Start();
    lock.unlock();
    WriteReady();
    return true;
}

unsigned CopyPool::WorkersWanted(const FileCopy& file) const {
    const unsigned limit = LimitFor(file);
    if (g_workers != kWorkersByRule || limit > 1) return limit;
    // The one worker for small files comes beside one for every large file not yet copied, so
    // that small files never wait for a large copy to end.
    return static_cast<unsigned>(std::min<size_t>(kCopyWorkers, 1 + largeUnfinished_));
}

void CopyPool::Start() {
    // One more worker for each file handed over, up to the limit: never more workers than files.
    if (workers_.size() < WorkersWanted(items_.back().file)) {
        try {
            workers_.emplace_back(&CopyPool::Work, this);
            return;
        } catch (...) {
            // No thread to be had: the workers there are go on, or the file is copied here.
        }
    }
    if (workers_.empty()) return CopyHere();
    if (idle_ > 0 && MayTake()) work_.notify_one();
}

void CopyPool::CopyHere() {
    Item& item = At(waiting_.back());
    waiting_.pop_back();
    largeUnfinished_ -= LimitFor(item.file) > 1;
    if (g_startSeam) g_startSeam(item.file.from);
    item.failed = !CopyOrLink(item.file, linksWork_);
    item.state = State::Done;
    targets_.erase(item.key);
    --unfinished_;
}

void CopyPool::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        work_.wait(lock, [this] { return closing_ || MayTake(); });
        --idle_;
        if (closing_) return;
        const bool small = Limit() == 1;
        smallRunning_ += small;
        const size_t seq = waiting_.front();
        waiting_.pop_front();
        // The next file may be one that more workers may take.
        if (idle_ > 0 && MayTake()) work_.notify_one();
        WakeMainIfDue();
        Item& item = At(seq);
        item.state = State::Running;
        const FileCopy file = std::move(item.file);
        lock.unlock();
        bool copied = false;
        try {
            if (g_startSeam) g_startSeam(file.from);
            copied = CopyOrLink(file, linksWork_);
        } catch (...) {
            // Out of memory: the file counts as not copied, its line says so.
        }
        lock.lock();
        smallRunning_ -= small;
        // A small file may have waited for this one.
        if (small && idle_ > 0 && !waiting_.empty()) work_.notify_one();
        Item& done = At(seq);
        done.state = State::Done;
        done.failed = !copied;
        targets_.erase(done.key);
        --unfinished_;
        largeUnfinished_ -= !small;
        WakeMainIfDue();
    }
}

bool CopyPool::MainMayGoOn() const {
    const bool frontReady = !items_.empty() && (items_.front().isLine || items_.front().state == State::Done);
    switch (await_) {
        case Await::Room:
            return items_.size() < kMaxHeld ? waiting_.size() <= kRefillAt : frontReady;
        case Await::AllDone: return unfinished_ == 0;
        case Await::Target: return !targets_.count(awaitedKey_);
        case Await::Nothing: break;
    }
    return false;
}

void CopyPool::WakeMainIfDue() {
    if (await_ != Await::Nothing && MainMayGoOn()) done_.notify_one();
}

void CopyPool::Progress(std::unique_lock<std::mutex>& lock, Await what) {
    await_ = what;
    done_.wait_until(lock, nextPoll_, [this] { return MainMayGoOn(); });
    await_ = Await::Nothing;
    lock.unlock();
    WriteReady();
    if (Clock::now() >= nextPoll_) Poll();
    lock.lock();
}

void CopyPool::WriteReady() {
    std::vector<std::pair<std::wstring, bool>> lines;  // with whether it tells of a failure
    {
        std::lock_guard lock(mutex_);
        while (!items_.empty() && (items_.front().isLine || items_.front().state == State::Done)) {
            Item& item = items_.front();
            if (item.isLine) lines.emplace_back(std::move(item.text), item.failed);
            else if (item.failed) lines.emplace_back(L"File non copiato (corrotto o in uso) : " + item.text, true);
            items_.pop_front();
            ++firstSeq_;
        }
    }
    for (const auto& [line, failure] : lines) failure ? run_.Fail(line) : run_.Log(line);
}

void CopyPool::Log(std::wstring line, bool failure) {
    {
        std::lock_guard lock(mutex_);
        if (!items_.empty()) {
            Item item;
            item.text = std::move(line);
            item.isLine = true;
            item.failed = failure;
            items_.push_back(std::move(item));
            return;
        }
    }
    failure ? run_.Fail(line) : run_.Log(line);
}

void CopyPool::Finish() {
    WriteReady();
    std::unique_lock lock(mutex_);
    while (!items_.empty()) Progress(lock, Await::AllDone);
}

void CopyPool::Poll() {
    nextPoll_ = Clock::now() + kPollEvery;
    // No file starts while the question is open: what a Yes leaves undone is known exactly.
    {
        std::lock_guard lock(mutex_);
        paused_ = true;
    }
    bool stopped = false;
    try {
        stopped = run_.AskStop(kClosing, [this] { StopHere(); });
    } catch (...) {
        std::lock_guard lock(mutex_);
        paused_ = false;
        throw;
    }
    {
        std::lock_guard lock(mutex_);
        paused_ = false;
    }
    work_.notify_all();
    if (!stopped) run_.host.Repaint();
    nextPoll_ = Clock::now() + kPollEvery;
}

void CopyPool::StopHere() {
    std::unique_lock lock(mutex_);
    if (!waiting_.empty()) {
        // A one-thread copy would have stopped before the first file not started: nothing handed
        // over after it is copied or logged.
        const size_t first = waiting_.front();
        for (size_t seq = first; seq < firstSeq_ + items_.size(); ++seq) targets_.erase(At(seq).key);
        for (const size_t seq : waiting_) largeUnfinished_ -= LimitFor(At(seq).file) > 1;
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(first - firstSeq_), items_.end());
        unfinished_ -= waiting_.size();
        waiting_.clear();
    }
    // The window is repainted while the files in flight finish: a large one can take minutes.
    while (!items_.empty()) {
        await_ = Await::AllDone;
        done_.wait_for(lock, kPollEvery, [this] { return MainMayGoOn(); });
        await_ = Await::Nothing;
        lock.unlock();
        WriteReady();
        run_.host.Repaint();
        lock.lock();
    }
}

}  // namespace vt
