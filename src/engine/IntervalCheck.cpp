#include "engine/IntervalCheck.h"

#include <cstdint>

namespace vt {

bool IntervalDue(double now, double lastRun, int n, double unitDays) {
    const unsigned units = static_cast<std::uint8_t>(n);
    return now - lastRun > units * unitDays;
}

}  // namespace vt
