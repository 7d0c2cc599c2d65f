#pragma once
// Where the one user-interface thread lets the message loop run in the middle of work.
#include <functional>

namespace vt {

// The program's message loop, until the quit message; afterEach runs after every message it
// dispatched. Returns the quit message's code.
int RunMessageLoop(const std::function<void()>& afterEach = {});
// Dispatches every waiting message; false when the program has been told to quit (the quit
// stays queued for the outer loop).
bool ProcessMessages();
// Waits the given seconds while the message loop runs; returns early, false, when the
// program is ending.
bool WaitSeconds(double seconds);

}  // namespace vt
