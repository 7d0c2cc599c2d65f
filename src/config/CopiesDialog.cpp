#include "config/FormNrBackup.h"

#include <algorithm>

#include "config/ConfigIds.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "win/Help.h"
#include "win/Text.h"

namespace vt {

namespace {
constexpr int kMinCopies = 1, kMaxCopies = 999;
}

int CopiesCount(const std::wstring& text) {
    int value = 0;
    if (!ParseInteger(text, value)) return kMinCopies;
    return std::clamp(value, kMinCopies, kMaxCopies);
}

TFormNrBackup::TFormNrBackup() : Form(IDD_NRBACKUP) { SetHelp(L"NumeroCopieBackup", 110); }

void TFormNrBackup::OnCreate() {
    const HWND h = Handle();
    RB1.Attach(h, IDR_NRB_RB1);
    RB2.Attach(h, IDR_NRB_RB2);
    RB3.Attach(h, IDR_NRB_RB3);
    Label1.Attach(h, IDT_NRB_LABEL1);
    SpinEdit1.Attach(h, IDE_NRB_SPIN);
    SpinButton1.Attach(h, IDC_NRB_UPDOWN);
    CBCollega.Attach(h, IDX_NRB_COLLEGA);
    BtnChiudi.Attach(h, IDB_NRB_CHIUDI);
    BtnHelp.Attach(h, IDB_NRB_HELP);
    SpinEdit1.SetMaxLength(3);
    SpinButton1.SetRange(kMinCopies, kMaxCopies);

    Hints.Create(h);
    Hints.Add(SpinEdit1.Handle(), L"Numero delle copie");
    Hints.Add(CBCollega.Handle(), L"Un file non modificato dall'ultima copia non occupa altro spazio sul disco");
    Hints.Add(BtnChiudi.Handle(), L"Chiude e salva le impostazioni");
    Hints.Add(BtnHelp.Handle(), L"Mostra l'help per la finestra del setup");

    // Design state: Limited with 2, kept when the store cannot be read.
    bool rb1 = false, rb2 = false, rb3 = true, link = false;
    int count = 2;
    SettingsStore store;
    if (store.IsOpen()) {
        rb1 = store.ReadBool(kCopiesSection, L"RB1", false);
        rb2 = store.ReadBool(kCopiesSection, L"RB2", false);
        rb3 = store.ReadBool(kCopiesSection, L"RB3", true);
        count = store.ReadInteger(kCopiesSection, L"NumBkp", 2);
        link = store.ReadBool(kCopiesSection, kLinkUnchangedValue, false);
    }
    store.Close();
    // Each selection clears the others, as a click would: the last true one stays.
    const RadioButton* selected = &RB3;
    if (rb1) selected = &RB1;
    if (rb2) selected = &RB2;
    if (rb3) selected = &RB3;
    for (const RadioButton* rb : {&RB1, &RB2, &RB3}) rb->SetChecked(rb == selected);
    count = std::clamp(count, kMinCopies, kMaxCopies);
    SpinButton1.SetPosition(count);
    SpinEdit1.SetText(std::to_wstring(count));
    CBCollega.SetChecked(link);
    UpdateEnabling();
}

void TFormNrBackup::UpdateEnabling() {
    // A disabled edit takes the buttons' background by itself.
    const bool limited = RB3.Checked();
    Label1.SetEnabled(limited);
    SpinEdit1.SetEnabled(limited);
    SpinButton1.SetEnabled(limited);
}

void TFormNrBackup::SpinEdit1Exit() {
    const int count = CopiesCount(SpinEdit1.Text());
    if (SpinEdit1.Text() != std::to_wstring(count)) SpinEdit1.SetText(std::to_wstring(count));
}

void TFormNrBackup::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDR_NRB_RB1:
        case IDR_NRB_RB2:
        case IDR_NRB_RB3:
            if (notifyCode == BN_CLICKED) UpdateEnabling();
            break;
        case IDE_NRB_SPIN:
            if (notifyCode == EN_KILLFOCUS) SpinEdit1Exit();
            break;
        case IDB_NRB_CHIUDI:
        case IDOK:
            FormClose();
            break;
        case IDB_NRB_HELP: RequestHelp(L"NumeroCopieBackup"); break;
        default: break;
    }
}

void TFormNrBackup::OnClose() { FormClose(); }

void TFormNrBackup::FormClose() {
    // Every way of closing saves; there is no cancel.
    if (closed_) return;
    closed_ = true;
    SettingsStore store;
    store.WriteBool(kCopiesSection, L"RB1", RB1.Checked());
    store.WriteBool(kCopiesSection, L"RB2", RB2.Checked());
    store.WriteBool(kCopiesSection, L"RB3", RB3.Checked());
    store.WriteInteger(kCopiesSection, L"NumBkp", CopiesCount(SpinEdit1.Text()));
    store.WriteBool(kCopiesSection, kLinkUnchangedValue, CBCollega.Checked());
    store.Close();
    Form::OnClose();
}

}  // namespace vt
