#include "config/JobSetupWindow.h"

#include <commctrl.h>
#include <shlobj.h>

#include "config/ConfigIds.h"
#include "config/FtpDestinationDialog.h"
#include "config/LogFileDialog.h"
#include "config/CopiesDialog.h"
#include "config/FileListEditor.h"
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

JobSetupPage::JobSetupPage() : ChildPage(IDD_SETUP_PAGE) {}

JobSetupPage::~JobSetupPage() {
    if (ftpBrush_) DeleteObject(ftpBrush_);
}

INT_PTR JobSetupPage::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT) &&
        GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDE_SETUP_FTP_DEST) {
        if (!ftpBrush_) ftpBrush_ = CreateSolidBrush(kFtpDestinationColour);
        SetBkColor(reinterpret_cast<HDC>(wParam), kFtpDestinationColour);
        handled = true;
        return reinterpret_cast<INT_PTR>(ftpBrush_);
    }
    return 0;
}

JobSetupWindow::JobSetupWindow(int page, std::wstring dataFolder, std::wstring programFolder)
    : Form(IDD_SETUP), page_(page), dataFolder_(std::move(dataFolder)), programFolder_(std::move(programFolder)) {
    SetHelp(L"ImpostaBackups", 70);
}

void JobSetupWindow::OnCreate() {
    AttachControls();
    SetHints();
    LoadJobs();
}

void JobSetupWindow::AttachControls() {
    const HWND h = Handle();
    JobTabs.Attach(h, IDC_SETUP_TAB);
    for (const wchar_t* tab : {L"Backup 1", L"Backup 2", L"Backup 3", L"Backup 4", L"Backup 5"})
        JobTabs.AddTab(tab);
    JobPage.Create(h, JobTabs.Handle());
    // Tab order: the tabs, the job page, then the buttons beside them.
    SetWindowPos(JobPage.Handle(), JobTabs.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const HWND p = JobPage.Handle();
    SourceLabel.Attach(p, IDT_SETUP_SOURCE);
    SourceFolderEdit.Attach(p, IDE_SETUP_SOURCE_FOLDER);
    SourceFilesBox.Attach(p, IDC_SETUP_SOURCE_FILES);
    ProgramEdit.Attach(p, IDE_SETUP_PROGRAM);
    BrowseSourceButton.Attach(p, IDB_SETUP_BROWSE_SOURCE);
    DestinationLabel.Attach(p, IDT_SETUP_DESTINATION);
    DestinationFolderEdit.Attach(p, IDE_SETUP_DEST_FOLDER);
    FilesDestinationEdit.Attach(p, IDE_SETUP_FILES_DEST);
    CommandLineEdit.Attach(p, IDE_SETUP_COMMAND_LINE);
    FtpDestinationLabel.Attach(p, IDT_SETUP_FTP_DEST);
    FtpDestinationEdit.Attach(p, IDE_SETUP_FTP_DEST);
    BrowseDestinationButton.Attach(p, IDB_SETUP_BROWSE_DEST);
    ScheduleKindLabel.Attach(p, IDT_SETUP_SCHEDULE_KIND);
    ScheduleKindBox.Attach(p, IDC_SETUP_SCHEDULE_KIND);
    TimeLabel.Attach(p, IDT_SETUP_TIME);
    TimeEdit.Attach(p, IDE_SETUP_TIME);
    HoursLabel.Attach(p, IDT_SETUP_HOURS);
    HoursEdit.Attach(p, IDE_SETUP_HOURS);
    DaysLabel.Attach(p, IDT_SETUP_DAYS);
    DaysEdit.Attach(p, IDE_SETUP_DAYS);
    DataKindLabel.Attach(p, IDT_SETUP_DATA_KIND);
    DataKindBox.Attach(p, IDC_SETUP_DATA_KIND);
    FtpCheck.Attach(p, IDX_SETUP_FTP);
    ClearButton.Attach(p, IDB_SETUP_CLEAR);
    ShowDuringRunsCheck.Attach(h, IDX_SETUP_SHOW_DURING_RUNS);
    TaskbarCheck.Attach(h, IDX_SETUP_TASKBAR);
    LogFileButton.Attach(h, IDB_SETUP_LOGFILE);
    CopiesButton.Attach(h, IDB_SETUP_COPIES);
    HelpButton.Attach(h, IDB_SETUP_HELP);
    CloseButton.Attach(h, IDB_SETUP_CLOSE);
    HintBar.Attach(h, IDC_SETUP_STATUS);
    MakeBold(CloseButton.Handle());
    HintBar.SetPanels({-1});
    SendMessageW(HintBar.Handle(), WM_SIZE, 0, 0);

    for (const wchar_t* item : {L"A orario prestabilito", L"All'avvio del sistema", L"Alla chiusura del sistema",
                                L"A giorni prestabiliti", L"A ore prestabilite", L"Manuale"})
        ScheduleKindBox.Add(item);
    for (const wchar_t* item : {L"Cartella (e sottocartelle)", L"Uno o più file", L"Lancia un file"})
        DataKindBox.Add(item);
    AttachTimeMask(TimeEdit.Handle());
    HoursEdit.SetMaxLength(2);
    DaysEdit.SetMaxLength(2);

    // The overlapping groups: one source, one destination, no time field until a kind is shown.
    SourceFilesBox.SetVisible(false);
    ProgramEdit.SetVisible(false);
    ShowDestinationPanel(true);
    for (const Control* c : {&TimeLabel, &HoursLabel, &DaysLabel}) c->SetVisible(false);
    for (const Edit* e : {&TimeEdit, &HoursEdit, &DaysEdit}) e->SetVisible(false);

    JobTabs.SetSelected(page_ >= 0 && page_ < kJobCount ? page_ : 0);
}

void JobSetupWindow::MakeBold(HWND control) {
    LOGFONTW font = FontOf(control);
    font.lfWeight = FW_BOLD;
    boldFont_ = CreateFontIndirectW(&font);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
}

void JobSetupWindow::OnDestroy() {
    if (boldFont_) DeleteObject(boldFont_);
    boldFont_ = nullptr;
}

void JobSetupWindow::SetHints() {
    SetHint(SourceFolderEdit.Handle(), L"Cartella sorgente (quella che verrà copiata)");
    SetHint(SourceFilesBox.Handle(), L"Lista dei file per il backup");
    SetHint(ProgramEdit.Handle(), L"Nome del programma da lanciare");
    SetHint(BrowseSourceButton.Handle(), L"Pulsante per la selezione della sorgente");
    SetHint(DestinationFolderEdit.Handle(), L"Cartella di destinazione (dove verrà effettuato il backup)");
    SetHint(FilesDestinationEdit.Handle(), L"Cartella di destinazione (dove verranno copiati i file)");
    SetHint(CommandLineEdit.Handle(), L"Riga di comando da inviare al programma");
    SetHint(BrowseDestinationButton.Handle(), L"Pulsante di selezione per la destinazione");
    SetHint(ScheduleKindBox.Handle(), L"Selezionare un tipo di backup dalla lista");
    SetHint(TimeEdit.Handle(), L"Inserire l'ora in cui effettuare il backup");
    SetHint(HoursEdit.Handle(), L"Intervallo in ore tra un backup e l'altro");
    SetHint(DaysEdit.Handle(), L"Intervallo in giorni tra un backup e l'altro");
    SetHint(DataKindBox.Handle(), L"Selezionare nella lista il tipo di dati da trattare");
    SetHint(FtpCheck.Handle(), L"Seleziona come destinazione del backup un sito ftp");
    SetHint(ClearButton.Handle(), L"Cancella tutti i dati e ripristina le condizione iniziali");
    SetHint(ShowDuringRunsCheck.Handle(), L"Mostra la finestra durante le fasi di backup automatico");
    SetHint(TaskbarCheck.Handle(), L"Mostra l'icona del programma nella taskbar del sistema");
    SetHint(LogFileButton.Handle(), L"Gestione del file log del programma");
    SetHint(CopiesButton.Handle(), L"Imposta il numero delle copie dei backup");
    SetHint(HelpButton.Handle(), L"Mostra l'help per la finestra del setup");
    SetHint(CloseButton.Handle(), L"Chiude la finestra e salva le modifiche");
}

void JobSetupWindow::LoadJobs() {
    WaitCursor wait;
    LoadAllJobs(jobs_, dataFolder_);
    TaskbarCheck.SetChecked(jobs_.TaskBar);
    ShowDuringRunsCheck.SetChecked(jobs_.Mostra);
    ShowPage(Slot());
    ApplyScheduleKind();
    ApplyDataKind();
}

void JobSetupWindow::OnHint(const std::wstring& hint) { HintBar.SetPanelText(0, hint); }

JobPageValues JobSetupWindow::PageValues() const {
    JobPageValues v;
    v.sourceFolder = SourceFolderEdit.Text();
    v.files = SourceFilesBox.Items();
    v.fileIndex = SourceFilesBox.ItemIndex();
    v.program = ProgramEdit.Text();
    v.destinationFolder = DestinationFolderEdit.Text();
    v.filesDestination = FilesDestinationEdit.Text();
    v.commandLine = CommandLineEdit.Text();
    v.scheduleKind = ScheduleKindBox.ItemIndex();
    v.dataKind = DataKindBox.ItemIndex();
    v.ftp = FtpCheck.Checked();
    v.time = TimeMaskValue(TimeEdit.Text());
    v.hours = HoursEdit.Text();
    v.days = DaysEdit.Text();
    return v;
}

void JobSetupWindow::SetPageValues(const JobPageValues& v) {
    SourceFolderEdit.SetText(v.sourceFolder);
    SourceFilesBox.Clear();
    for (const std::wstring& file : v.files) SourceFilesBox.Add(file);
    SourceFilesBox.SetItemIndex(v.fileIndex);
    ProgramEdit.SetText(v.program);
    DestinationFolderEdit.SetText(v.destinationFolder);
    FilesDestinationEdit.SetText(v.filesDestination);
    CommandLineEdit.SetText(v.commandLine);
    ScheduleKindBox.SetItemIndex(v.scheduleKind);
    DataKindBox.SetItemIndex(v.dataKind);
    FtpCheck.SetChecked(v.ftp);
    TimeEdit.SetText(v.time);
    HoursEdit.SetText(v.hours);
    DaysEdit.SetText(v.days);
}

void JobSetupWindow::StorePage(int slot) { StorePageValues(PageValues(), jobs_.Job(slot)); }

void JobSetupWindow::ShowPage(int slot) {
    JobPageValues values = PageValues();
    ShowPageValues(jobs_.Job(slot), values);
    SetPageValues(values);
}

void JobSetupWindow::ApplyScheduleKind() {
    const auto panel = TimePanelFor(ScheduleKindBox.ItemIndex());
    if (!panel) return;
    TimeLabel.SetVisible(*panel == TimePanel::Time);
    TimeEdit.SetVisible(*panel == TimePanel::Time);
    DaysLabel.SetVisible(*panel == TimePanel::Days);
    DaysEdit.SetVisible(*panel == TimePanel::Days);
    HoursLabel.SetVisible(*panel == TimePanel::Hours);
    HoursEdit.SetVisible(*panel == TimePanel::Hours);
}

void JobSetupWindow::ApplyDataKind() {
    const auto layout = DataKindLayoutFor(DataKindBox.ItemIndex());
    if (layout) {
        SourceLabel.SetText(layout->sourceLabel);
        DestinationLabel.SetText(layout->destinationLabel);
        SourceFolderEdit.SetVisible(layout->source == 1);
        SourceFilesBox.SetVisible(layout->source == 2);
        ProgramEdit.SetVisible(layout->source == 3);
        destination_ = layout->destination;
        BrowseDestinationButton.SetVisible(layout->destinationChoice);
        FtpCheck.SetVisible(layout->destinationChoice);
    }
    ApplyFtpChoice();
    // The focus goes where the user continues, once the right controls show.
    if (!layout) return;
    if (layout->destination == 3) {
        if (destinationPanel_) CommandLineEdit.Focus();
    } else {
        BrowseSourceButton.Focus();
    }
}

void JobSetupWindow::ShowDestinationPanel(bool visible) {
    destinationPanel_ = visible;
    DestinationLabel.SetVisible(visible);
    DestinationFolderEdit.SetVisible(visible && destination_ == 1);
    FilesDestinationEdit.SetVisible(visible && destination_ == 2);
    CommandLineEdit.SetVisible(visible && destination_ == 3);
    FtpDestinationLabel.SetVisible(!visible);
    FtpDestinationEdit.SetVisible(!visible);
}

void JobSetupWindow::ApplyFtpChoice() {
    if (FtpCheck.Checked() && FtpCheck.Visible()) {
        ShowDestinationPanel(false);
        std::wstring shown;
        SettingsStore store;
        if (store.IsOpen()) {
            const std::wstring section = JobSection(Slot());
            shown = store.ReadString(section, L"ftp-HN", L"") + store.ReadString(section, L"ftp-HDN", L"");
        }
        FtpDestinationEdit.SetText(shown);
    } else {
        ShowDestinationPanel(true);
    }
}

void JobSetupWindow::OnTabChanging() { StorePage(Slot()); }

void JobSetupWindow::OnTabChanged() {
    ShowPage(Slot());
    ApplyScheduleKind();
    ApplyDataKind();
}

std::wstring JobSetupWindow::StartFolder(const std::wstring& text) const {
    return text.empty() ? ShellFolder(CSIDL_PERSONAL) : text;
}

void JobSetupWindow::OnBrowseSourceClicked() {
    switch (DataKindBox.ItemIndex()) {
        case kFolder:
            if (const auto chosen = PickFolder(Handle(), StartFolder(SourceFolderEdit.Text()))) SourceFolderEdit.SetText(*chosen);
            break;
        case kFileList: {
            const int slot = Slot();
            StorePage(slot);
            HintBar.SetPanelText(0, L"");
            FileListEditor editor(jobs_.Job(slot).Files, programFolder_);
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
            const std::wstring program = ProgramEdit.Text();
            request.initialFolder = StartFolder(program.empty() ? SourceFolderEdit.Text() : FolderOf(program));
            const FileDialogResult result = PickFiles(request);
            if (result.status == FileDialogResult::Chosen && !result.files.empty())
                ProgramEdit.SetText(result.files.front());
            break;
        }
        default:
            break;
    }
}

void JobSetupWindow::OnBrowseDestinationClicked() {
    if (FtpCheck.Checked()) {
        FtpDestinationDialog dialog(Slot());
        dialog.ShowModal(Handle());
        ApplyFtpChoice();
        return;
    }
    const Edit& target = DataKindBox.ItemIndex() == kFileList ? FilesDestinationEdit : DestinationFolderEdit;
    if (const auto chosen = PickFolder(Handle(), StartFolder(target.Text()))) target.SetText(*chosen);
}

void JobSetupWindow::OnClearClicked() {
    const bool sourceSet = !SourceFolderEdit.Text().empty() || !SourceFilesBox.Text().empty() || !ProgramEdit.Text().empty();
    if (sourceSet && AskYesNo(L"Cancellare tutti i dati di questo backup?") != YesNo::Yes) return;
    SourceFolderEdit.SetText(L"");
    SourceFilesBox.SetItemIndex(-1);
    ProgramEdit.SetText(L"");
    DestinationFolderEdit.SetText(L"");
    FilesDestinationEdit.SetText(L"");
    CommandLineEdit.SetText(L"");
    ScheduleKindBox.SetItemIndex(kAtTime);
    DataKindBox.SetItemIndex(kFolder);
    TimeEdit.SetText(L"");
    FtpCheck.SetChecked(false);
    ApplyScheduleKind();
    ApplyDataKind();
}

void JobSetupWindow::OnLogFileClicked() {
    LogFileDialog dialog;
    dialog.ShowModal(Handle());
}

void JobSetupWindow::OnCopiesClicked() {
    CopiesDialog dialog;
    dialog.ShowModal(Handle());
}

void JobSetupWindow::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDC_SETUP_SCHEDULE_KIND:
            if (notifyCode == CBN_SELCHANGE) ApplyScheduleKind();
            return;
        case IDC_SETUP_DATA_KIND:
            if (notifyCode == CBN_SELCHANGE) ApplyDataKind();
            return;
        default:
            break;
    }
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDX_SETUP_FTP: ApplyFtpChoice(); break;
        case IDB_SETUP_BROWSE_SOURCE: OnBrowseSourceClicked(); break;
        case IDB_SETUP_BROWSE_DEST: OnBrowseDestinationClicked(); break;
        case IDB_SETUP_CLEAR: OnClearClicked(); break;
        case IDB_SETUP_LOGFILE: OnLogFileClicked(); break;
        case IDB_SETUP_COPIES: OnCopiesClicked(); break;
        case IDB_SETUP_HELP: RequestHelp(L"ImpostaBackups"); break;
        // No default button: Enter while typing the command line or the time must not close
        // the window, so the dialog manager's IDOK is not a close.
        case IDB_SETUP_CLOSE: SaveAndClose(); break;
        default: break;
    }
}

void JobSetupWindow::OnClose() { SaveAndClose(); }

void JobSetupWindow::SaveAndClose() {
    // Every way of closing saves; there is no cancel.
    if (closed_) return;
    closed_ = true;
    {
        WaitCursor wait;
        StorePage(Slot());
        jobs_.TaskBar = TaskbarCheck.Checked();
        jobs_.Mostra = ShowDuringRunsCheck.Checked();
        SaveAllJobs(jobs_, dataFolder_);
    }
    Form::OnClose();
}

INT_PTR JobSetupWindow::OnMessage(UINT msg, WPARAM, LPARAM lParam, bool& handled) {
    handled = false;
    if (msg != WM_NOTIFY) return 0;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != JobTabs.Handle()) return 0;
    if (header->code == TCN_SELCHANGING) {
        OnTabChanging();
        handled = true;
        return FALSE;
    }
    if (header->code == TCN_SELCHANGE) {
        OnTabChanged();
        handled = true;
    }
    return 0;
}

}  // namespace vt
