#pragma once
// A window timer that calls one handler, enabled and disabled like a switch.
#include <windows.h>

#include <functional>

namespace vt {

class Timer {
public:
    Timer() = default;
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void Attach(HWND owner, UINT_PTR id, UINT intervalMs, bool enabled, std::function<void()> onTimer);
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    UINT_PTR Id() const { return id_; }
    void Fire() const;

private:
    HWND owner_ = nullptr;
    UINT_PTR id_ = 0;
    UINT interval_ = 0;
    bool enabled_ = false;
    std::function<void()> onTimer_;
};

}  // namespace vt
