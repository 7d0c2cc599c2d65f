#include "app/ProgramTray.h"

#include <utility>

#include "app/IconIds.h"
#include "app/WindowMessages.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/StartProgram.h"

namespace vt {

namespace {

UINT MenuId(TrayMenuCommand command) { return static_cast<UINT>(command); }

HICON SmallIcon(int id) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

}  // namespace

ProgramTray::~ProgramTray() { Remove(); }

void ProgramTray::Attach(HWND owner) {
    owner_ = owner;
    icon_.Attach(owner, kTrayMessage, L"Vaultick");
    menu_ = CreatePopupMenu();
    AppendMenuW(menu_, MF_STRING, MenuId(TrayMenuCommand::OpenWindow), L"&Apri Vaultick");
    AppendMenuW(menu_, MF_STRING, MenuId(TrayMenuCommand::SetUpJobs), L"C&onfigura backup");
    AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu_, MF_STRING, MenuId(TrayMenuCommand::ToggleProgram), L"Attiva &Vaultick");
    AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu_, MF_STRING, MenuId(TrayMenuCommand::CloseProgram), L"&Chiudi");
    SetMenuDefaultItem(menu_, MenuId(TrayMenuCommand::OpenWindow), FALSE);
}

void ProgramTray::Apply(TrayIconCommand command) {
    if (command == TrayIconCommand::Show) icon_.Show();
    else icon_.Hide();
}

void ProgramTray::ShowActivation(bool programOn, bool jobsWillRun) {
    if (menu_) {
        const UINT id = MenuId(TrayMenuCommand::ToggleProgram);
        ModifyMenuW(menu_, id, MF_BYCOMMAND | MF_STRING, id, programOn ? L"Disattiva &Vaultick" : L"Attiva &Vaultick");
    }
    icon_.SetImage(SmallIcon(jobsWillRun ? IDI_TRAY_ON : IDI_TRAY_OFF));
}

std::optional<TrayMenuCommand> ProgramTray::OnIconMessage(LPARAM event) {
    switch (icon_.TakeBalloonEvent(event)) {
        case BalloonEvent::Clicked:
            OpenBalloonLog();
            AfterBalloon();
            return std::nullopt;
        case BalloonEvent::Closed: AfterBalloon(); return std::nullopt;
        case BalloonEvent::Shown: return std::nullopt;
        case BalloonEvent::None: break;
    }
    if (event == WM_LBUTTONDBLCLK) return TrayMenuCommand::OpenWindow;
    if (event == WM_RBUTTONUP) return TrackMenu();
    return std::nullopt;
}

std::optional<TrayMenuCommand> ProgramTray::TrackMenu() {
    POINT at;
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner_);
    const UINT item = TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner_, nullptr);
    PostMessageW(owner_, WM_NULL, 0, 0);
    if (item < MenuId(TrayMenuCommand::OpenWindow) || item > MenuId(TrayMenuCommand::CloseProgram)) return std::nullopt;
    return static_cast<TrayMenuCommand>(item);
}

void ProgramTray::OnTaskbarCreated() {
    icon_.Restore();
    AfterBalloon();
    ShowUntoldNotice();
}

void ProgramTray::ShowRunNotice(const RunNotice& notice) {
    const bool behindOpenBalloon = icon_.BalloonOpen();
    // Without a taskbar yet (early at logon, Explorer restarting) the balloon waits for it.
    if (!icon_.ShowBalloon(notice.title, notice.text)) {
        untoldNotice_ = notice;
        return;
    }
    untoldNotice_.reset();
    if (behindOpenBalloon) {
        waitingBalloonLog_ = notice.logPath;  // the tray shows it when the open one goes
        return;
    }
    balloonLog_ = notice.logPath;
    // Where the shell never says that the balloon has gone, an icon added only for it is taken
    // away by our own clock.
    if (!TrayIcon::ShellReportsBalloons()) balloonTimer_.SetEnabled(true);
}

void ProgramTray::ShowUntoldNotice() {
    if (const auto notice = std::exchange(untoldNotice_, std::nullopt)) ShowRunNotice(*notice);
}

void ProgramTray::AfterBalloon() {
    balloonTimer_.SetEnabled(false);
    // The balloon that waited behind the one gone is on show now.
    if (!icon_.BalloonOpen()) return;
    balloonLog_ = waitingBalloonLog_;
    if (!TrayIcon::ShellReportsBalloons()) balloonTimer_.SetEnabled(true);
}

void ProgramTray::BalloonTimedOut() {
    icon_.BalloonGone();
    AfterBalloon();
}

std::wstring SystemNotepad() {
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return ExcludeTrailingBackslash(system) + L"\\notepad.exe";
}

void ProgramTray::OpenBalloonLog() const {
    if (balloonLog_.empty()) return;
    const std::wstring folder = FolderOf(balloonLog_);
    // Where no program is associated with .log files (Wine has none) the log opens as text, in the
    // system's own Notepad: a bare name would be looked for first in the log's folder.
    if (FileExists(balloonLog_) && (StartProgram(balloonLog_, L"", folder, SW_SHOWNORMAL) ||
                                    StartProgram(SystemNotepad(), L"\"" + balloonLog_ + L"\"", folder, SW_SHOWNORMAL)))
        return;
    ShowMessage(L"Il file di log non può essere aperto:\r" + balloonLog_, kNotifyError);
}

void ProgramTray::Remove() {
    icon_.Remove();
    if (menu_) DestroyMenu(menu_);
    menu_ = nullptr;
}

}  // namespace vt
