#include "config/JobSetupWindow.h"

#include <commctrl.h>

#include "config/ConfigIds.h"
#include "config/TimeMask.h"

namespace vt {

// Attaching, filling and hinting the set-up window's controls, and the job page that holds most.

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

void JobSetupWindow::AttachControls() {
    const HWND h = Handle();
    JobTabs.Attach(h, IDC_SETUP_TAB);
    for (const wchar_t* tab : {L"Backup 1", L"Backup 2", L"Backup 3", L"Backup 4", L"Backup 5"})
        JobTabs.AddTab(tab);
    JobPage.Create(h, JobTabs.Handle());
    // Tab order: the tabs, the job page, then the buttons beside them.
    SetWindowPos(JobPage.Handle(), JobTabs.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AttachPageControls();
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
    CatchUpCheck.SetVisible(false);

    JobTabs.SetSelected(page_ >= 0 && page_ < kJobCount ? page_ : 0);
}

void JobSetupWindow::AttachPageControls() {
    const HWND p = JobPage.Handle();
    SourceLabel.Attach(p, IDT_SETUP_SOURCE);
    SourceFolderEdit.Attach(p, IDE_SETUP_SOURCE_FOLDER);
    SourceFilesBox.Attach(p, IDC_SETUP_SOURCE_FILES);
    ProgramEdit.Attach(p, IDE_SETUP_PROGRAM);
    BrowseSourceButton.Attach(p, IDB_SETUP_BROWSE_SOURCE);
    DestinationLabel.Attach(p, IDT_SETUP_DESTINATION);
    DestinationFolderEdit.Attach(p, IDE_SETUP_DEST_FOLDER);
    FileListDestinationEdit.Attach(p, IDE_SETUP_FILES_DEST);
    CommandLineEdit.Attach(p, IDE_SETUP_COMMAND_LINE);
    FtpDestinationLabel.Attach(p, IDT_SETUP_FTP_DEST);
    FtpDestinationEdit.Attach(p, IDE_SETUP_FTP_DEST);
    BrowseDestinationButton.Attach(p, IDB_SETUP_BROWSE_DEST);
    ScheduleKindLabel.Attach(p, IDT_SETUP_SCHEDULE_KIND);
    ScheduleKindBox.Attach(p, IDC_SETUP_SCHEDULE_KIND);
    TimeLabel.Attach(p, IDT_SETUP_TIME);
    TimeEdit.Attach(p, IDE_SETUP_TIME);
    CatchUpCheck.Attach(p, IDX_SETUP_CATCH_UP);
    HoursLabel.Attach(p, IDT_SETUP_HOURS);
    HoursEdit.Attach(p, IDE_SETUP_HOURS);
    DaysLabel.Attach(p, IDT_SETUP_DAYS);
    DaysEdit.Attach(p, IDE_SETUP_DAYS);
    DataKindLabel.Attach(p, IDT_SETUP_DATA_KIND);
    DataKindBox.Attach(p, IDC_SETUP_DATA_KIND);
    FtpCheck.Attach(p, IDX_SETUP_FTP);
    ClearButton.Attach(p, IDB_SETUP_CLEAR);
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
    SetHint(FileListDestinationEdit.Handle(), L"Cartella di destinazione (dove verranno copiati i file)");
    SetHint(CommandLineEdit.Handle(), L"Riga di comando da inviare al programma");
    SetHint(BrowseDestinationButton.Handle(), L"Pulsante di selezione per la destinazione");
    SetHint(ScheduleKindBox.Handle(), L"Selezionare un tipo di backup dalla lista");
    SetHint(TimeEdit.Handle(), L"Inserire l'ora in cui effettuare il backup");
    SetHint(CatchUpCheck.Handle(),
            L"Se all'orario il computer era spento, in sospensione o il programma chiuso, il backup parte appena possibile");
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

}  // namespace vt
