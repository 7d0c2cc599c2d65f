#include "config/FormNrBackup.h"

#include <algorithm>

#include "config/ConfigIds.h"
#include "settings/CopyPolicySettings.h"
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
    const StoredCopyPolicy stored = ReadStoredCopyPolicy().value_or(StoredCopyPolicy{});
    const bool rb1 = stored.noCopies, rb2 = stored.unlimited, rb3 = stored.limited, link = stored.linkUnchanged;
    int count = stored.count;
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
    WriteStoredCopyPolicy(
        {RB1.Checked(), RB2.Checked(), RB3.Checked(), CopiesCount(SpinEdit1.Text()), CBCollega.Checked()});
    Form::OnClose();
}

}  // namespace vt
