#pragma once
// The program's presence in the notification area: the icon with its menu, and the balloons
// that tell of failed runs, one at a time, a click opening the run's log.
#include <windows.h>

#include <optional>
#include <string>

#include "app/RunNotice.h"
#include "win/Timer.h"
#include "win/TrayIcon.h"

namespace vt {

// The Notepad of the system folder, by its full path.
std::wstring SystemNotepad();

// The user's tray switch ("Task Bar"): show the icon, or take it away.
enum class TrayIconCommand { Show, Remove };

// The items of the icon's menu; the values are the menu's command ids.
enum class TrayMenuCommand : UINT { OpenWindow = 1, SetUpJobs, ToggleProgram, CloseProgram };

class ProgramTray {
public:
    ProgramTray() = default;
    ~ProgramTray();
    ProgramTray(const ProgramTray&) = delete;
    ProgramTray& operator=(const ProgramTray&) = delete;

    // The icon's events come to the owner as kTrayMessage; they are handed to OnIconMessage.
    void Attach(HWND owner);
    // The owner adds this timer to its own; on time it calls BalloonTimedOut.
    Timer& BalloonTimer() { return balloonTimer_; }

    void Apply(TrayIconCommand command);
    // The menu's switch caption follows the program switch; the image tells whether jobs run.
    void ShowActivation(bool programOn, bool jobsWillRun);
    // A mouse or balloon event of the icon: the menu item the user chose, if any.
    std::optional<TrayMenuCommand> OnIconMessage(LPARAM event);
    // Explorer restarted ("TaskbarCreated").
    void OnTaskbarCreated();
    void ShowRunNotice(const RunNotice& notice);
    // A notice the tray refused before, tried again.
    void ShowUntoldNotice();
    void BalloonTimedOut();
    // The program ends: no icon stays behind.
    void Remove();

private:
    std::optional<TrayMenuCommand> TrackMenu();
    // A balloon has gone: the one waiting behind it, if any, now has the click and the clock.
    void AfterBalloon();
    void OpenBalloonLog() const;

    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
    TrayIcon icon_;
    Timer balloonTimer_;
    std::wstring balloonLog_;  // what a click on the balloon opens; empty: nothing
    std::wstring waitingBalloonLog_;  // the same for the balloon waiting behind the open one
    std::optional<RunNotice> untoldNotice_;  // the tray was not there: shown once it is
};

}  // namespace vt
