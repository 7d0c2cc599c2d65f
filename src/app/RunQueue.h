#pragma once
// Runs asked for while another is in progress wait here, in the order asked, once each.
#include <deque>
#include <optional>

#include "app/Schedule.h"

namespace vt {

class RunQueue {
public:
    // False when the same slot and kind is already waiting.
    bool Push(const RunRequest& request);
    std::optional<RunRequest> Pop();
    bool Empty() const { return waiting_.empty(); }

private:
    std::deque<RunRequest> waiting_;
};

}  // namespace vt
