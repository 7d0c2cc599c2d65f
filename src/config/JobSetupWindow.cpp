#include "config/FormSetup.h"

#include <commctrl.h>
#include <shlobj.h>

#include "config/ConfigIds.h"
#include "config/FormDatiFTP.h"
#include "config/FormLogFile.h"
#include "config/FormNrBackup.h"
#include "config/FormSelezFile.h"
#include "config/Pickers.h"
#include "config/TimeMask.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "win/BusyCursor.h"
#include "win/Help.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"

namespace vt {

namespace {

// The hourglass for the loading and the saving, which do not pump messages.
class WaitCursor {
public:
    WaitCursor() { SetBusyCursor(true); }
    ~WaitCursor() { SetBusyCursor(wasBusy_); }

private:
    bool wasBusy_ = BusyCursorOn();
};

}  // namespace

TSetupPage::TSetupPage() : ChildPage(IDD_SETUP_PAGE) {}

TSetupPage::~TSetupPage() {
    if (ftpBrush_) DeleteObject(ftpBrush_);
}

INT_PTR TSetupPage::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT) &&
        GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDE_SETUP_DEST4) {
        if (!ftpBrush_) ftpBrush_ = CreateSolidBrush(kFtpDestinationColour);
        SetBkColor(reinterpret_cast<HDC>(wParam), kFtpDestinationColour);
        handled = true;
        return reinterpret_cast<INT_PTR>(ftpBrush_);
    }
    return 0;
}

TFormSetup::TFormSetup(int page, std::wstring dataFolder, std::wstring programFolder)
    : Form(IDD_SETUP), page_(page), dataFolder_(std::move(dataFolder)), programFolder_(std::move(programFolder)) {
    SetHelp(L"ImpostaBackups", 70);
}

void TFormSetup::OnCreate() {
    AttachControls();
    SetHints();
    FormActivate();
}

void TFormSetup::AttachControls() {
    const HWND h = Handle();
    TabControl1.Attach(h, IDC_SETUP_TAB);
    for (const wchar_t* tab : {L"Backup 1", L"Backup 2", L"Backup 3", L"Backup 4", L"Backup 5"})
        TabControl1.AddTab(tab);
    Page.Create(h, TabControl1.Handle());
    // Tab order: the tabs, the job page, then the buttons beside them.
    SetWindowPos(Page.Handle(), TabControl1.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const HWND p = Page.Handle();
    Label1.Attach(p, IDT_SETUP_LABEL1);
    EditSorg1.Attach(p, IDE_SETUP_SORG1);
    EditSorg2.Attach(p, IDC_SETUP_SORG2);
    EditSorg3.Attach(p, IDE_SETUP_SORG3);
    BtnBrowse1.Attach(p, IDB_SETUP_BROWSE1);
    Label2.Attach(p, IDT_SETUP_LABEL2);
    EditDest1.Attach(p, IDE_SETUP_DEST1);
    EditDest2.Attach(p, IDE_SETUP_DEST2);
    EditDest3.Attach(p, IDE_SETUP_DEST3);
    Label6.Attach(p, IDT_SETUP_LABEL6);
    EditDest4.Attach(p, IDE_SETUP_DEST4);
    BtnBrowse2.Attach(p, IDB_SETUP_BROWSE2);
    Label16.Attach(p, IDT_SETUP_LABEL16);
    CBTipoBkp.Attach(p, IDC_SETUP_TIPOBKP);
    Label3.Attach(p, IDT_SETUP_LABEL3);
    EditOra.Attach(p, IDE_SETUP_ORA);
    Label4.Attach(p, IDT_SETUP_LABEL4);
    EditOre.Attach(p, IDE_SETUP_ORE);
    Label5.Attach(p, IDT_SETUP_LABEL5);
    EditGiorni.Attach(p, IDE_SETUP_GIORNI);
    Label17.Attach(p, IDT_SETUP_LABEL17);
    CBTipoDati.Attach(p, IDC_SETUP_TIPODATI);
    CBFTP.Attach(p, IDX_SETUP_FTP);
    BtnCanc.Attach(p, IDB_SETUP_CANC);
    CB3.Attach(h, IDX_SETUP_MOSTRA);
    CB1.Attach(h, IDX_SETUP_TASKBAR);
    BtnLogFile.Attach(h, IDB_SETUP_LOGFILE);
    BtnBackup.Attach(h, IDB_SETUP_BACKUP);
    BtnHelp.Attach(h, IDB_SETUP_HELP);
    BtnExit.Attach(h, IDB_SETUP_EXIT);
    StatusBar1.Attach(h, IDC_SETUP_STATUS);
    MakeBold(BtnExit.Handle());
    StatusBar1.SetPanels({-1});
    SendMessageW(StatusBar1.Handle(), WM_SIZE, 0, 0);

    for (const wchar_t* item : {L"A orario prestabilito", L"All'avvio del sistema", L"Alla chiusura del sistema",
                                L"A giorni prestabiliti", L"A ore prestabilite", L"Manuale"})
        CBTipoBkp.Add(item);
    for (const wchar_t* item : {L"Cartella (e sottocartelle)", L"Uno o più file", L"Lancia un file"})
        CBTipoDati.Add(item);
    AttachTimeMask(EditOra.Handle());
    EditOre.SetMaxLength(2);
    EditGiorni.SetMaxLength(2);

    // The overlapping groups: one source, one destination, no time field until a kind is shown.
    EditSorg2.SetVisible(false);
    EditSorg3.SetVisible(false);
    ShowPanelDest(true);
    for (const Control* c : {&Label3, &Label4, &Label5}) c->SetVisible(false);
    for (const Edit* e : {&EditOra, &EditOre, &EditGiorni}) e->SetVisible(false);

    TabControl1.SetSelected(page_ >= 0 && page_ < kJobCount ? page_ : 0);
}

void TFormSetup::MakeBold(HWND control) {
    LOGFONTW font = FontOf(control);
    font.lfWeight = FW_BOLD;
    boldFont_ = CreateFontIndirectW(&font);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
}

void TFormSetup::OnDestroy() {
    if (boldFont_) DeleteObject(boldFont_);
    boldFont_ = nullptr;
}

void TFormSetup::SetHints() {
    SetHint(EditSorg1.Handle(), L"Cartella sorgente (quella che verrà copiata)");
    SetHint(EditSorg2.Handle(), L"Lista dei file per il backup");
    SetHint(EditSorg3.Handle(), L"Nome del programma da lanciare");
    SetHint(BtnBrowse1.Handle(), L"Pulsante per la selezione della sorgente");
    SetHint(EditDest1.Handle(), L"Cartella di destinazione (dove verrà effettuato il backup)");
    SetHint(EditDest2.Handle(), L"Cartella di destinazione (dove verranno copiati i file)");
    SetHint(EditDest3.Handle(), L"Riga di comando da inviare al programma");
    SetHint(BtnBrowse2.Handle(), L"Pulsante di selezione per la destinazione");
    SetHint(CBTipoBkp.Handle(), L"Selezionare un tipo di backup dalla lista");
    SetHint(EditOra.Handle(), L"Inserire l'ora in cui effettuare il backup");
    SetHint(EditOre.Handle(), L"Intervallo in ore tra un backup e l'altro");
    SetHint(EditGiorni.Handle(), L"Intervallo in giorni tra un backup e l'altro");
    SetHint(CBTipoDati.Handle(), L"Selezionare nella lista il tipo di dati da trattare");
    SetHint(CBFTP.Handle(), L"Seleziona come destinazione del backup un sito ftp");
    SetHint(BtnCanc.Handle(), L"Cancella tutti i dati e ripristina le condizione iniziali");
    SetHint(CB3.Handle(), L"Mostra la finestra durante le fasi di backup automatico");
    SetHint(CB1.Handle(), L"Mostra l'icona del programma nella taskbar del sistema");
    SetHint(BtnLogFile.Handle(), L"Gestione del file log del programma");
    SetHint(BtnBackup.Handle(), L"Imposta il numero delle copie dei backup");
    SetHint(BtnHelp.Handle(), L"Mostra l'help per la finestra del setup");
    SetHint(BtnExit.Handle(), L"Chiude la finestra e salva le modifiche");
}

void TFormSetup::FormActivate() {
    WaitCursor wait;
    LoadAllJobs(jobs_, dataFolder_);
    CB1.SetChecked(jobs_.TaskBar);
    CB3.SetChecked(jobs_.Mostra);
    ShowPage(Slot());
    ScheduleKindRule();
    DataKindRule();
}

void TFormSetup::OnHint(const std::wstring& hint) { StatusBar1.SetPanelText(0, hint); }

JobPageValues TFormSetup::PageValues() const {
    JobPageValues v;
    v.sorg1 = EditSorg1.Text();
    v.files = EditSorg2.Items();
    v.fileIndex = EditSorg2.ItemIndex();
    v.sorg3 = EditSorg3.Text();
    v.dest1 = EditDest1.Text();
    v.dest2 = EditDest2.Text();
    v.dest3 = EditDest3.Text();
    v.scheduleKind = CBTipoBkp.ItemIndex();
    v.dataKind = CBTipoDati.ItemIndex();
    v.ftp = CBFTP.Checked();
    v.ora = TimeMaskValue(EditOra.Text());
    v.ore = EditOre.Text();
    v.giorni = EditGiorni.Text();
    return v;
}

void TFormSetup::SetPageValues(const JobPageValues& v) {
    EditSorg1.SetText(v.sorg1);
    EditSorg2.Clear();
    for (const std::wstring& file : v.files) EditSorg2.Add(file);
    EditSorg2.SetItemIndex(v.fileIndex);
    EditSorg3.SetText(v.sorg3);
    EditDest1.SetText(v.dest1);
    EditDest2.SetText(v.dest2);
    EditDest3.SetText(v.dest3);
    CBTipoBkp.SetItemIndex(v.scheduleKind);
    CBTipoDati.SetItemIndex(v.dataKind);
    CBFTP.SetChecked(v.ftp);
    EditOra.SetText(v.ora);
    EditOre.SetText(v.ore);
    EditGiorni.SetText(v.giorni);
}

void TFormSetup::StorePage(int slot) { StorePageValues(PageValues(), jobs_.Job(slot)); }

void TFormSetup::ShowPage(int slot) {
    JobPageValues values = PageValues();
    ShowPageValues(jobs_.Job(slot), values);
    SetPageValues(values);
}

void TFormSetup::ScheduleKindRule() {
    const auto panel = TimePanelFor(CBTipoBkp.ItemIndex());
    if (!panel) return;
    Label3.SetVisible(*panel == TimePanel::Orario);
    EditOra.SetVisible(*panel == TimePanel::Orario);
    Label5.SetVisible(*panel == TimePanel::Giorni);
    EditGiorni.SetVisible(*panel == TimePanel::Giorni);
    Label4.SetVisible(*panel == TimePanel::Ore);
    EditOre.SetVisible(*panel == TimePanel::Ore);
}

void TFormSetup::DataKindRule() {
    const auto layout = DataKindLayoutFor(CBTipoDati.ItemIndex());
    if (layout) {
        Label1.SetText(layout->label1);
        Label2.SetText(layout->label2);
        EditSorg1.SetVisible(layout->source == 1);
        EditSorg2.SetVisible(layout->source == 2);
        EditSorg3.SetVisible(layout->source == 3);
        destination_ = layout->destination;
        BtnBrowse2.SetVisible(layout->destinationChoice);
        CBFTP.SetVisible(layout->destinationChoice);
    }
    FtpRule();
    // The focus goes where the user continues, once the right controls show.
    if (!layout) return;
    if (layout->destination == 3) {
        if (panelDest_) EditDest3.Focus();
    } else {
        BtnBrowse1.Focus();
    }
}

void TFormSetup::ShowPanelDest(bool visible) {
    panelDest_ = visible;
    Label2.SetVisible(visible);
    EditDest1.SetVisible(visible && destination_ == 1);
    EditDest2.SetVisible(visible && destination_ == 2);
    EditDest3.SetVisible(visible && destination_ == 3);
    Label6.SetVisible(!visible);
    EditDest4.SetVisible(!visible);
}

void TFormSetup::FtpRule() {
    if (CBFTP.Checked() && CBFTP.Visible()) {
        ShowPanelDest(false);
        std::wstring shown;
        SettingsStore store;
        if (store.IsOpen()) {
            const std::wstring section = JobSection(Slot());
            shown = store.ReadString(section, L"ftp-HN", L"") + store.ReadString(section, L"ftp-HDN", L"");
        }
        EditDest4.SetText(shown);
    } else {
        ShowPanelDest(true);
    }
}

void TFormSetup::TabControl1Changing() { StorePage(Slot()); }

void TFormSetup::TabControl1Change() {
    ShowPage(Slot());
    ScheduleKindRule();
    DataKindRule();
}

std::wstring TFormSetup::StartFolder(const std::wstring& text) const {
    return text.empty() ? ShellFolder(CSIDL_PERSONAL) : text;
}

void TFormSetup::BtnBrowse1Click() {
    switch (CBTipoDati.ItemIndex()) {
        case kFolder:
            if (const auto chosen = PickFolder(Handle(), StartFolder(EditSorg1.Text()))) EditSorg1.SetText(*chosen);
            break;
        case kFileList: {
            const int slot = Slot();
            StorePage(slot);
            StatusBar1.SetPanelText(0, L"");
            TFormSelezFile editor(jobs_.Job(slot).Files, programFolder_);
            editor.ShowModal(Handle());
            ShowPage(slot);
            break;
        }
        case kLaunchProgram: {
            FileDialogRequest request;
            request.owner = Handle();
            request.title = L"Selezionare un programma";
            request.filter = L"Programmi|*.exe;*.com;*.bat|Tutti i file|*.*";
            // The chosen program's folder first, so that a change starts where the program is.
            const std::wstring program = EditSorg3.Text();
            request.initialFolder = StartFolder(program.empty() ? EditSorg1.Text() : FolderOf(program));
            const FileDialogResult result = PickFiles(request);
            if (result.status == FileDialogResult::Chosen && !result.files.empty())
                EditSorg3.SetText(result.files.front());
            break;
        }
        default:
            break;
    }
}

void TFormSetup::BtnBrowse2Click() {
    if (CBFTP.Checked()) {
        TFormDatiFTP dialog(Slot());
        dialog.ShowModal(Handle());
        FtpRule();
        return;
    }
    const Edit& target = CBTipoDati.ItemIndex() == kFileList ? EditDest2 : EditDest1;
    if (const auto chosen = PickFolder(Handle(), StartFolder(target.Text()))) target.SetText(*chosen);
}

void TFormSetup::BtnCancClick() {
    const bool sourceSet = !EditSorg1.Text().empty() || !EditSorg2.Text().empty() || !EditSorg3.Text().empty();
    if (sourceSet && NotifyUser(L"Cancellare tutti i dati di questo backup?", kNotifyQuestion, 6) != 1) return;
    EditSorg1.SetText(L"");
    EditSorg2.SetItemIndex(-1);
    EditSorg3.SetText(L"");
    EditDest1.SetText(L"");
    EditDest2.SetText(L"");
    EditDest3.SetText(L"");
    CBTipoBkp.SetItemIndex(kAtTime);
    CBTipoDati.SetItemIndex(kFolder);
    EditOra.SetText(L"");
    CBFTP.SetChecked(false);
    ScheduleKindRule();
    DataKindRule();
}

void TFormSetup::BtnLogFileClick() {
    TFormLogFile dialog;
    dialog.ShowModal(Handle());
}

void TFormSetup::BtnBackupClick() {
    TFormNrBackup dialog;
    dialog.ShowModal(Handle());
}

void TFormSetup::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDC_SETUP_TIPOBKP:
            if (notifyCode == CBN_SELCHANGE) ScheduleKindRule();
            return;
        case IDC_SETUP_TIPODATI:
            if (notifyCode == CBN_SELCHANGE) DataKindRule();
            return;
        default:
            break;
    }
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDX_SETUP_FTP: FtpRule(); break;
        case IDB_SETUP_BROWSE1: BtnBrowse1Click(); break;
        case IDB_SETUP_BROWSE2: BtnBrowse2Click(); break;
        case IDB_SETUP_CANC: BtnCancClick(); break;
        case IDB_SETUP_LOGFILE: BtnLogFileClick(); break;
        case IDB_SETUP_BACKUP: BtnBackupClick(); break;
        case IDB_SETUP_HELP: RequestHelp(L"ImpostaBackups"); break;
        // No default button: Enter while typing the command line or the time must not close
        // the window, so the dialog manager's IDOK is not a close.
        case IDB_SETUP_EXIT: FormClose(); break;
        default: break;
    }
}

void TFormSetup::OnClose() { FormClose(); }

void TFormSetup::FormClose() {
    // Every way of closing saves; there is no cancel.
    if (closed_) return;
    closed_ = true;
    {
        WaitCursor wait;
        StorePage(Slot());
        jobs_.TaskBar = CB1.Checked();
        jobs_.Mostra = CB3.Checked();
        SaveAllJobs(jobs_, dataFolder_);
    }
    Form::OnClose();
}

INT_PTR TFormSetup::OnMessage(UINT msg, WPARAM, LPARAM lParam, bool& handled) {
    handled = false;
    if (msg != WM_NOTIFY) return 0;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != TabControl1.Handle()) return 0;
    if (header->code == TCN_SELCHANGING) {
        TabControl1Changing();
        handled = true;
        return FALSE;
    }
    if (header->code == TCN_SELCHANGE) {
        TabControl1Change();
        handled = true;
    }
    return 0;
}

}  // namespace vt
