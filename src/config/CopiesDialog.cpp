#include "config/CopiesDialog.h"

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

CopiesDialog::CopiesDialog() : Form(IDD_COPIES) { SetHelp(L"NumeroCopieBackup", 110); }

void CopiesDialog::OnCreate() {
    const HWND h = Handle();
    NoCopiesRadio.Attach(h, IDR_COPIES_NONE);
    UnlimitedRadio.Attach(h, IDR_COPIES_UNLIMITED);
    LimitedRadio.Attach(h, IDR_COPIES_LIMITED);
    CountLabel.Attach(h, IDT_COPIES_COUNT);
    CountEdit.Attach(h, IDE_COPIES_COUNT);
    CountSpin.Attach(h, IDC_COPIES_SPIN);
    LinkUnchangedCheck.Attach(h, IDX_COPIES_LINK_UNCHANGED);
    CloseButton.Attach(h, IDB_COPIES_CLOSE);
    HelpButton.Attach(h, IDB_COPIES_HELP);
    CountEdit.SetMaxLength(3);
    CountSpin.SetRange(kMinCopies, kMaxCopies);

    Hints.Create(h);
    Hints.Add(CountEdit.Handle(), L"Numero delle copie");
    Hints.Add(LinkUnchangedCheck.Handle(), L"Un file non modificato dall'ultima copia non occupa altro spazio sul disco");
    Hints.Add(CloseButton.Handle(), L"Chiude e salva le impostazioni");
    Hints.Add(HelpButton.Handle(), L"Mostra l'help per la finestra del setup");

    // Design state: Limited with 2, kept when the store cannot be read.
    const StoredCopyPolicy stored = ReadStoredCopyPolicy().value_or(StoredCopyPolicy{});
    const bool noCopies = stored.noCopies, unlimited = stored.unlimited, limited = stored.limited;
    const bool link = stored.linkUnchanged;
    int count = stored.count;
    // Each selection clears the others, as a click would: the last true one stays.
    const RadioButton* selected = &LimitedRadio;
    if (noCopies) selected = &NoCopiesRadio;
    if (unlimited) selected = &UnlimitedRadio;
    if (limited) selected = &LimitedRadio;
    for (const RadioButton* rb : {&NoCopiesRadio, &UnlimitedRadio, &LimitedRadio}) rb->SetChecked(rb == selected);
    count = std::clamp(count, kMinCopies, kMaxCopies);
    CountSpin.SetPosition(count);
    CountEdit.SetText(std::to_wstring(count));
    LinkUnchangedCheck.SetChecked(link);
    UpdateEnabling();
}

void CopiesDialog::UpdateEnabling() {
    // A disabled edit takes the buttons' background by itself.
    const bool limited = LimitedRadio.Checked();
    CountLabel.SetEnabled(limited);
    CountEdit.SetEnabled(limited);
    CountSpin.SetEnabled(limited);
}

void CopiesDialog::OnCountEditLeft() {
    const int count = CopiesCount(CountEdit.Text());
    if (CountEdit.Text() != std::to_wstring(count)) CountEdit.SetText(std::to_wstring(count));
}

void CopiesDialog::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDR_COPIES_NONE:
        case IDR_COPIES_UNLIMITED:
        case IDR_COPIES_LIMITED:
            if (notifyCode == BN_CLICKED) UpdateEnabling();
            break;
        case IDE_COPIES_COUNT:
            if (notifyCode == EN_KILLFOCUS) OnCountEditLeft();
            break;
        case IDB_COPIES_CLOSE:
        case IDOK:
            SaveAndClose();
            break;
        case IDB_COPIES_HELP: RequestHelp(L"NumeroCopieBackup"); break;
        default: break;
    }
}

void CopiesDialog::OnClose() { SaveAndClose(); }

void CopiesDialog::SaveAndClose() {
    // Every way of closing saves; there is no cancel.
    if (closed_) return;
    closed_ = true;
    WriteStoredCopyPolicy({NoCopiesRadio.Checked(), UnlimitedRadio.Checked(), LimitedRadio.Checked(),
                           CopiesCount(CountEdit.Text()), LinkUnchangedCheck.Checked()});
    Form::OnClose();
}

}  // namespace vt
