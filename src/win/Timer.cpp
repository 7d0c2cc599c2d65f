#include "win/Timer.h"

namespace vt {

Timer::~Timer() {
    if (enabled_ && owner_ && IsWindow(owner_)) KillTimer(owner_, id_);
}

void Timer::Attach(HWND owner, UINT_PTR id, UINT intervalMs, bool enabled,
                   std::function<void()> onTimer) {
    owner_ = owner;
    id_ = id;
    interval_ = intervalMs;
    onTimer_ = std::move(onTimer);
    enabled_ = false;
    SetEnabled(enabled);
}

void Timer::SetEnabled(bool enabled) {
    if (!owner_) return;
    // Enabling restarts the interval, as a switch turned off and on again would.
    KillTimer(owner_, id_);
    enabled_ = enabled;
    if (enabled_) SetTimer(owner_, id_, interval_, nullptr);
}

void Timer::Fire() const {
    if (enabled_ && onTimer_) onTimer_();
}

}  // namespace vt
