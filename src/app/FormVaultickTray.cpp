// The main window's tray icon and its menu.
#include "app/FormVaultick.h"

#include "settings/SettingsStore.h"
#include "win/NotifyUser.h"

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

}  // namespace vt
