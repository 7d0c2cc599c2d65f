#include "app/MainWindow.h"

#include <commctrl.h>

#include <utility>

#include "about/AboutBox.h"
#include "app/Autostart.h"
#include "app/JobPage.h"
#include "app/MainWindowIds.h"
#include "config/SetupWindow.h"
#include "engine/BackupEngine.h"
#include "help/HelpViewer.h"
#include "install/InstallDialog.h"
#include "settings/JobValues.h"
#include "settings/ProgramValues.h"
#include "win/Clock.h"
#include "win/Help.h"
#include "win/NotifyUser.h"

namespace vt {

MainWindow::MainWindow(StartUpContext context, Application& app)
    : Form(IDD_MAIN_WINDOW),
      context_(std::move(context)),
      app_(app),
      scheduler_([this](const RunRequest& request) { ExecuteRun(request); },
                 [this](bool sessionEndWaited) { AfterRuns(sessionEndWaited); }),
      jobPage_(IDD_JOB_PAGE, IDT_LAST_RUN) {
    SetHelp(L"Principale", 10);
}

void MainWindow::OnCreate() {
    app_.SetMainForm(Handle());
    AttachControls();
    StartUp();
}

void MainWindow::AttachControls() {
    const HWND h = Handle();
    jobTabs_.Attach(h, IDC_JOB_TABS);
    for (const wchar_t* tab : {L"Backup 1", L"Backup 2", L"Backup 3", L"Backup 4", L"Backup 5"}) jobTabs_.AddTab(tab);
    jobPage_.Create(h, jobTabs_.Handle());
    const HWND page = jobPage_.Handle();
    const int pictureIds[] = {IDC_SLOT_PICTURE1, IDC_SLOT_PICTURE2, IDC_SLOT_PICTURE3, IDC_SLOT_PICTURE4,
                              IDC_SLOT_PICTURE5};
    for (size_t i = 0; i < slotPictures_.size(); ++i) slotPictures_[i].Attach(page, pictureIds[i]);
    sourceTitle_.Attach(page, IDT_SOURCE_TITLE);
    destinationTitle_.Attach(page, IDT_DESTINATION_TITLE);
    scheduleTitle_.Attach(page, IDT_SCHEDULE_TITLE);
    sourcePath_.Attach(page, IDE_SOURCE);
    sourceFiles_.Attach(page, IDC_SOURCE_FILES);
    destinationPath_.Attach(page, IDE_DESTINATION);
    scheduleText_.Attach(page, IDE_SCHEDULE);
    jobEnabledBox_.Attach(page, IDX_JOB_ENABLED);
    runNowButton_.Attach(page, IDB_RUN_NOW);
    programOnBox_.Attach(h, IDX_PROGRAM_ON);
    aboutButton_.Attach(h, IDB_ABOUT);
    setUpButton_.Attach(h, IDB_SET_UP);
    installationButton_.Attach(h, IDB_INSTALLATION);
    helpButton_.Attach(h, IDB_HELP);
    exitButton_.Attach(h, IDB_EXIT);
    statusBar_.Attach(h, IDC_STATUS_BAR);
    clock_.Attach(h, IDT_CLOCK);

    sourcePath_.SetText(L"Nessuna");
    destinationPath_.SetText(L"Nessuna");
    scheduleText_.SetText(L"Nessuno");
    sourceFiles_.SetVisible(false);
    SetHints();
}

void MainWindow::SetHints() {
    SetHint(sourceFiles_.Handle(), L"Lista dei file per il backup");
    SetHint(scheduleText_.Handle(), L"Modo selezionato per il backup automatico");
    SetHint(jobEnabledBox_.Handle(), L"Abilita il backup selezionato");
    SetHint(runNowButton_.Handle(), L"Avvia immediatamente il backup selezionato");
    SetHint(IDX_PROGRAM_ON, L"Attiva il programma");
    SetHint(IDB_SET_UP, L"Mostra la finestra per la configurazione dei backup");
    SetHint(IDB_INSTALLATION, L"Modifica le impostazioni di installazione del programma");
    SetHint(IDB_HELP, L"Mostra il file della guida");
    SetHint(IDB_EXIT, L"Chiude il programma");
    SetHint(IDT_CLOCK, L"Orario corrente del computer (aggiornato ogni 30 sec)");
}

void MainWindow::OnActivated() {
    jobTabs_.Focus();
    UpdateActivationDisplay();
    if (firstRun_) installTimer_.SetEnabled(true);
}

void MainWindow::OnClockTimer() { clock_.SetText(ClockText(LocalNow(), TimeSeparator())); }

void MainWindow::OnInstallTimer() {
    installTimer_.SetEnabled(false);
    firstRun_ = false;
    OpenInstallDialog(Handle(), InstallMode::Install);
    RequestHelp(L"CondizionidiUtilizzo");
}

void MainWindow::ShowJobPage(int slot) {
    trayOn_ = ReadTrayIconOn();
    for (int i = 0; i < 5; ++i) slotPictures_[static_cast<size_t>(i)].SetVisible(i + 1 == slot);

    const JobPageView page = ComputeJobPage(ReadStoredJobValues(slot, context_.dataFolder));
    sourceTitle_.SetText(page.sourceTitle);
    destinationTitle_.SetText(page.destinationTitle);
    if (page.sourceHint) SetHint(sourcePath_.Handle(), *page.sourceHint);
    if (page.destinationHint) SetHint(destinationPath_.Handle(), *page.destinationHint);
    sourcePath_.SetVisible(!page.listSource);
    sourceFiles_.SetVisible(page.listSource);
    sourceFiles_.Clear();
    for (const auto& item : page.sourceFiles) sourceFiles_.Add(item);
    sourceFiles_.SetItemIndex(page.sourceFiles.empty() ? -1 : 0);
    if (!page.listSource) sourcePath_.SetText(page.sourcePath);
    destinationPath_.SetText(page.destinationPath);
    scheduleText_.SetText(page.scheduleText);

    jobEnabledBox_.SetChecked(page.enabled);
    jobEnabledBox_.SetEnabled(page.enableBoxEnabled);
    runNowButton_.SetEnabled(page.runButtonEnabled);
    ScheduledJob& job = scheduler_.Snapshot().Job(slot);
    job.enabled = page.enabled;
    job.everyNHours = page.hoursFlag;
    job.everyNDays = page.daysFlag;
    ShowLastRun(slot);
    StoreJobEnabled();
    UpdateActivationDisplay();
}

void MainWindow::ShowLastRun(int slot) {
    const LastRunLine line = ComputeLastRunLine(ReadStoredLastRun(slot), DateSeparator(), TimeSeparator());
    jobPage_.ShowLastRun(line.text, line.failed);
}

void MainWindow::StoreJobEnabled() {
    WriteJobEnabled(SelectedSlot(), jobEnabledBox_.Checked());
}

void MainWindow::UpdateActivationDisplay() {
    jobEnabledBox_.SetVisible(programOnBox_.Checked());
    UpdateTitleAndClock();
    tray_.ShowActivation(programOnBox_.Checked(), clockColour_ == RGB(0, 0, 0));
}

void MainWindow::UpdateTitleAndClock() {
    const ActivationLook look = ComputeActivationLook(scheduler_.Snapshot().AnyEnabled(), programOnBox_.Checked());
    app_.SetTitle(look.title);
    clockColour_ = look.clockColour;
    InvalidateRect(clock_.Handle(), nullptr, TRUE);
}

void MainWindow::ReloadSchedule() {
    ScheduleSnapshot& schedule = scheduler_.Snapshot();
    LoadSchedule(schedule);
    log_.Configure(schedule.logEnabled, schedule.logPath);
}

void MainWindow::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDX_JOB_ENABLED: OnJobEnabledClicked(); break;
        case IDB_RUN_NOW: OnRunNowClicked(); break;
        case IDX_PROGRAM_ON: OnProgramOnClicked(); break;
        case IDB_ABOUT: OnAboutClicked(); break;
        case IDB_SET_UP: OnSetUpClicked(); break;
        case IDB_INSTALLATION: OnInstallationClicked(); break;
        case IDB_HELP: OnHelpClicked(); break;
        case IDB_EXIT: OnExitClicked(); break;
        default: break;
    }
}

void MainWindow::OnJobTabChanged() {
    ShowJobPage(SelectedSlot());
    WriteSelectedPage(jobTabs_.Selected());
}

void MainWindow::OnJobEnabledClicked() {
    StoreJobEnabled();
    scheduler_.Snapshot().Job(SelectedSlot()).enabled = jobEnabledBox_.Checked();
    UpdateActivationDisplay();
}

void MainWindow::OnProgramOnClicked() {
    WriteProgramOn(programOnBox_.Checked());
    UpdateActivationDisplay();
}

void MainWindow::OnRunNowClicked() {
    if (scheduleText_.Text() != L"Manuale" &&
        AskYesNo(L"Effettuare il backup fuori orario?") != YesNo::Yes)
        return;
    scheduler_.Request({RunRequest::Job, SelectedSlot(), true});
}

void MainWindow::OnAboutClicked() {
    AboutBox about;
    about.ShowModal(Handle());
}

void MainWindow::OnSetUpClicked() {
    OpenSetupWindow(Handle(), jobTabs_.Selected());
    ShowJobPage(SelectedSlot());
    // The set-up window has saved; the autostart follows what it saved (the tray switch is
    // reread by the page).
    UpdateAutostart();
    ReloadSchedule();
    UpdateTitleAndClock();
    showDuringRun_ = ReadShowDuringRun();
    tray_.Apply(trayOn_ ? TrayIconCommand::Show : TrayIconCommand::Remove);
}

void MainWindow::OnInstallationClicked() {
    if (OpenInstallDialog(Handle(), InstallMode::Change)) EndProgram();
}

void MainWindow::OnHelpClicked() { RequestHelp(L"Principale"); }

void MainWindow::OnExitClicked() {
    if (StaysResident()) {
        app_.HideMainForm();
        return;
    }
    CloseWindow();
    DestroyWindow(Handle());
}

void MainWindow::OnClose() { OnExitClicked(); }

void MainWindow::CloseWindow() {
    NoteSeen();
    UpdateAutostart();
    CloseHelpViewer();
    tray_.Apply(TrayIconCommand::Remove);
}

void MainWindow::OnDestroy() {
    StopWatchingForHandOver();
    // However the program ends, no icon stays behind in the tray.
    tray_.Remove();
    app_.OnTaskbarButtonCreated(nullptr);
    EndProgram();
}

void MainWindow::EndProgram() {
    scheduler_.Stop();
    PostQuitMessage(0);
}

void MainWindow::UpdateAutostart() { vt::UpdateAutostart(context_.programFolder, StaysResident()); }

// With the tray icon, or with jobs that will run, the program stays when its window closes.
bool MainWindow::StaysResident() const { return trayOn_ || (AnyJobEnabledInStore() && programOnBox_.Checked()); }

void MainWindow::OnHint(const std::wstring& hint) { statusBar_.SetPanelText(0, hint); }

void MainWindow::BringUpForUser() {
    app_.BringUp();
    stateBeforeRun_ = WindowState::Shown;
}

void MainWindow::HandOver(WPARAM request) {
    BringUpForUser();
    if (request == kHandOverShowRemoval) removalPending_ = true;
}

void MainWindow::TakePendingRemoval() {
    if (!removalPending_ || scheduler_.Stopped()) return;
    removalPending_ = false;
    OpenUninstallDialog();
}

void MainWindow::OpenUninstallDialog() {
    if (OpenInstallDialog(Handle(), InstallMode::Uninstall)) EndProgram();
}

bool MainWindow::OnSysCommand(WPARAM command) {
    switch (command & 0xFFF0) {
        case SC_CLOSE: OnExitClicked(); return true;
        case SC_MINIMIZE: app_.Minimize(); return true;
        default: return false;
    }
}

INT_PTR MainWindow::PaintClock(HDC dc) {
    SetTextColor(dc, clockColour_);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR MainWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case kHandOverTaken: HandOver(wParam); return 0;
        case kTrayMessage:
            if (const auto command = tray_.OnIconMessage(lParam)) OnTrayCommand(*command);
            return 0;
        case WM_QUERYENDSESSION: return OnQueryEndSession();
        case WM_POWERBROADCAST: OnPowerBroadcast(wParam); return TRUE;
        case kResumeTick: OnResumeTick(); return 0;
        case WM_ENDSESSION:
            if (!wParam) scheduler_.SessionEndCancelled();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) break;
            OnActivated();
            return 0;
        case WM_SYSCOMMAND:
            if (OnSysCommand(wParam)) return 0;
            break;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom != jobTabs_.Handle() || header->code != TCN_SELCHANGE) break;
            OnJobTabChanged();
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == clock_.Handle()) return PaintClock(reinterpret_cast<HDC>(wParam));
            break;
        default:
            if (msg == TrayIcon::TaskbarCreatedMessage() && msg != 0) {
                tray_.OnTaskbarCreated();
                return 0;
            }
            break;
    }
    handled = false;
    return 0;
}

}  // namespace vt
