#include "app/RunQueue.h"

#include <algorithm>

namespace vt {

bool RunQueue::Push(const RunRequest& request) {
    if (std::find(waiting_.begin(), waiting_.end(), request) != waiting_.end()) return false;
    waiting_.push_back(request);
    return true;
}

std::optional<RunRequest> RunQueue::Pop() {
    if (waiting_.empty()) return std::nullopt;
    RunRequest next = waiting_.front();
    waiting_.pop_front();
    return next;
}

}  // namespace vt
