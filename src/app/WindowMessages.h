#pragma once
// The main window's private messages.
#include <windows.h>

namespace vt {

// Posted by a second copy to the first copy's window ("HProc"), with a HandOverRequest.
inline constexpr UINT kHandOverMessage = WM_USER;
// What a posted hand-over becomes once taken from the queue. The dialog manager sends the same
// number (DM_GETDEFID) to the window itself, and that one must keep its dialog answer.
inline constexpr UINT kHandOverTaken = WM_APP + 2;
// The tray icon's mouse and balloon events.
inline constexpr UINT kTrayMessage = WM_APP + 1;
// Posted to itself when the computer wakes: the tick then runs out of the system's broadcast.
inline constexpr UINT kResumeTick = WM_APP + 3;

// The hand-over's first parameter.
enum HandOverRequest : WPARAM { kHandOverShow = 0, kHandOverShowRemoval = 1 };

}  // namespace vt
