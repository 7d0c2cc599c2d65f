#pragma once
// Where the one user-interface thread lets the message loop run in the middle of work.

namespace vt {

// Dispatches every waiting message; false when the program has been told to quit (the quit
// stays queued for the outer loop).
bool ProcessMessages();
// Waits the given seconds while the message loop runs; returns early, false, when the
// program is ending.
bool WaitSeconds(double seconds);

}  // namespace vt
