// The main window's tray icon and its menu.
#include "app/MainWindow.h"

#include <utility>

#include "settings/SettingsStore.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/StartProgram.h"

namespace vt {

void TFormVaultick::CreatePopupMenu1() {
    PopupMenu1 = CreatePopupMenu();
    AppendMenuW(PopupMenu1, MF_STRING, kMostra1, L"&Apri Vaultick");
    AppendMenuW(PopupMenu1, MF_STRING, kSetup1, L"C&onfigura backup");
    AppendMenuW(PopupMenu1, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(PopupMenu1, MF_STRING, kAttivaprogramma1, L"Attiva &Vaultick");
    AppendMenuW(PopupMenu1, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(PopupMenu1, MF_STRING, kChiudiSessione1, L"&Chiudi");
    SetMenuDefaultItem(PopupMenu1, kMostra1, FALSE);
}

void TFormVaultick::TrayMessage(LPARAM mouseMessage) {
    switch (trayIcon_.TakeBalloonEvent(mouseMessage)) {
        case BalloonEvent::Clicked:
            BalloonClick();
            AfterBalloon();
            return;
        case BalloonEvent::Closed: AfterBalloon(); return;
        case BalloonEvent::Shown: return;
        case BalloonEvent::None: break;
    }
    UINT item = 0;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        item = kMostra1;
    } else if (mouseMessage == WM_RBUTTONUP) {
        POINT at;
        GetCursorPos(&at);
        // Without the foreground the menu would not close when the user clicks elsewhere.
        SetForegroundWindow(Handle());
        item = TrackPopupMenu(PopupMenu1, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
        PostMessageW(Handle(), WM_NULL, 0, 0);
    }
    switch (item) {
        case kMostra1: Mostra1Click(); break;
        case kSetup1: Setup1Click(); break;
        case kAttivaprogramma1: Attivaprogramma1Click(); break;
        case kChiudiSessione1: ChiudiSessione1Click(); break;
        default: break;
    }
}

void TFormVaultick::Mostra1Click() {
    CBAbilitaClick();
    BringUpForUser();
}

void TFormVaultick::Setup1Click() {
    CBAbilitaClick();
    Mostra1Click();
    BtnSetupClick();
}

void TFormVaultick::Attivaprogramma1Click() {
    CBAttiva.SetChecked(!CBAttiva.Checked());
    CBAttivaClick();
    UpdateActivationDisplay();
}

void TFormVaultick::ChiudiSessione1Click() {
    if (CBAttiva.Checked() && schedule_.AnyEnabled()) {
        Mostra1Click();
        if (NotifyUser(L"ATTENZIONE!\rChiudendo il programma i backup non verranno effettuati.\rContinuare ugualmente?",
                       kNotifyQuestion, 6) != 1)
            return;
    }
    FormClose();
    DestroyWindow(Handle());
}

void TFormVaultick::ShowRunNotice(const RunNotice& notice) {
    const bool behindOpenBalloon = trayIcon_.BalloonOpen();
    // Without a taskbar yet (early at logon, Explorer restarting) the balloon waits for it.
    if (!trayIcon_.ShowBalloon(notice.title, notice.text)) {
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
    if (!TrayIcon::ShellReportsBalloons()) TimerBalloon.SetEnabled(true);
}

void TFormVaultick::ShowUntoldNotice() {
    if (const auto notice = std::exchange(untoldNotice_, std::nullopt)) ShowRunNotice(*notice);
}

void TFormVaultick::AfterBalloon() {
    TimerBalloon.SetEnabled(false);
    // The balloon that waited behind the one gone is on show now.
    if (!trayIcon_.BalloonOpen()) return;
    balloonLog_ = waitingBalloonLog_;
    if (!TrayIcon::ShellReportsBalloons()) TimerBalloon.SetEnabled(true);
}

void TFormVaultick::TimerBalloonTimer() {
    trayIcon_.BalloonGone();
    AfterBalloon();
}

void TFormVaultick::BalloonClick() {
    if (balloonLog_.empty()) return;
    const std::wstring folder = FolderOf(balloonLog_);
    // Where no program is associated with .log files (Wine has none) the log opens as text.
    if (FileExists(balloonLog_) && (StartProgram(balloonLog_, L"", folder, SW_SHOWNORMAL) ||
                                    StartProgram(L"notepad.exe", L"\"" + balloonLog_ + L"\"", folder, SW_SHOWNORMAL)))
        return;
    NotifyUser(L"Il file di log non può essere aperto:\r" + balloonLog_, kNotifyError, 0);
}

}  // namespace vt
