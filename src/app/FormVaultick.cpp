#include "app/FormVaultick.h"

#include <commctrl.h>

#include <utility>

#include "about/AboutBox.h"
#include "about/IsXPOrLater.h"
#include "app/Autostart.h"
#include "app/FormVaultickIds.h"
#include "app/StartUpSettings.h"
#include "config/SetupWindow.h"
#include "engine/BackupEngine.h"
#include "help/HelpViewer.h"
#include "install/InstallDialog.h"
#include "install/Manifest.h"
#include "settings/SettingsStore.h"
#include "win/BusyCursor.h"
#include "win/Clock.h"
#include "win/Help.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/ProcessList.h"
#include "win/StartProgram.h"
#include "win/Text.h"

namespace vt {

namespace {

constexpr UINT_PTR kTimer1 = 1, kTimerOro = 2, kTimerInst = 3, kTimerBalloon = 4, kTimerProgress = 5;
// How long the taskbar button stays red after a run with failures.
constexpr UINT kFailedProgressMs = 5000;

HWND g_handOverWindow = nullptr;
HHOOK g_handOverHook = nullptr;

// Sees every message any loop of this thread takes from the queue (ours, a modal window's, a
// message box's, a run's waits). Only a posted hand-over passes here: what the dialog manager
// sends to the window goes straight to the window procedure.
LRESULT CALLBACK TakePostedHandOver(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION && removal == PM_REMOVE) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        if (msg.message == kHandOverMessage && msg.hwnd && msg.hwnd == g_handOverWindow) msg.message = kHandOverTaken;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

// The window a second copy may hand over to: one of our dialogs in a process of ours. A stale
// "HProc" may name any window of another program by now.
bool IsRunningMainWindow(HWND window) {
    if (!IsWindow(window)) return false;
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (std::wstring(className) != L"#32770") return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = QueryFullProcessImageNameW(process, 0, path, &size) &&
                       EqualsNoCase(FileNameOf(path), L"DorviVaultick.exe");
    CloseHandle(process);
    return named;
}

}  // namespace

TFormVaultick::TFormVaultick(StartUpContext context, Application& app)
    : Form(IDD_VAULTICK), context_(std::move(context)), app_(app), Notebook1(IDD_VAULTICK_PAGE) {
    SetHelp(L"Principale", 10);
}

void TFormVaultick::OnCreate() {
    app_.SetMainForm(Handle());
    AttachControls();
    FormCreate();
}

void TFormVaultick::AttachControls() {
    const HWND h = Handle();
    TabSet1.Attach(h, IDC_TABSET1);
    for (const wchar_t* tab : {L"Backup 1", L"Backup 2", L"Backup 3", L"Backup 4", L"Backup 5"}) TabSet1.AddTab(tab);
    Notebook1.Create(h, TabSet1.Handle());
    const HWND page = Notebook1.Handle();
    for (int i = 0; i < 5; ++i) ImageNum[static_cast<size_t>(i)].Attach(page, IDC_IMAGENUM1 + i);
    Label6.Attach(page, IDT_LABEL6);
    Label7.Attach(page, IDT_LABEL7);
    Label8.Attach(page, IDT_LABEL8);
    EditSorg.Attach(page, IDE_SORG);
    FileSorg.Attach(page, IDC_FILESORG);
    EditDest.Attach(page, IDE_DEST);
    Edit3.Attach(page, IDE_EDIT3);
    CBAbilita.Attach(page, IDX_ABILITA);
    BtnAvvia.Attach(page, IDB_AVVIA);
    CBAttiva.Attach(h, IDX_ATTIVA);
    BtnInfo.Attach(h, IDB_INFO);
    BtnSetup.Attach(h, IDB_SETUP);
    BitBtn1.Attach(h, IDB_INSTALLAZ);
    BtnHelp.Attach(h, IDB_HELP);
    BtnChiudi.Attach(h, IDB_CHIUDI);
    StatusBar1.Attach(h, IDC_STATUSBAR1);
    Edit2.Attach(h, IDT_EDIT2);

    EditSorg.SetText(L"Nessuna");
    EditDest.SetText(L"Nessuna");
    Edit3.SetText(L"Nessuno");
    FileSorg.SetVisible(false);
    SetHints();
}

void TFormVaultick::SetHints() {
    SetHint(FileSorg.Handle(), L"Lista dei file per il backup");
    SetHint(Edit3.Handle(), L"Modo selezionato per il backup automatico");
    SetHint(CBAbilita.Handle(), L"Abilita il backup selezionato");
    SetHint(BtnAvvia.Handle(), L"Avvia immediatamente il backup selezionato");
    SetHint(IDX_ATTIVA, L"Attiva il programma");
    SetHint(IDB_SETUP, L"Mostra la finestra per la configurazione dei backup");
    SetHint(IDB_INSTALLAZ, L"Modifica le impostazioni di installazione del programma");
    SetHint(IDB_HELP, L"Mostra il file della guida");
    SetHint(IDB_CHIUDI, L"Chiude il programma");
    SetHint(IDT_EDIT2, L"Orario corrente del computer (aggiornato ogni 30 sec)");
}

void TFormVaultick::FormCreate() {
    const std::wstring& folder = context_.programFolder;
    if (!EqualsNoCase(FileNameOf(ModuleFileName()), L"DorviVaultick.Exe")) {
        terminate_ = true;
        return;
    }
    InstallHelpViewer(folder + L"\\DorviVaultick.Hlp");
    ForceFolders(context_.dataFolder);

    // Another copy runs: it shows itself (and the removal dialog), this one ends. A process
    // showing the help alone has the same file name but holds no mark: it is not a copy. A mark
    // that cannot be opened at all (an elevated copy's, say) leaves the count to decide.
    HANDLE mark = CreateMutexW(nullptr, FALSE, L"Local\\DorviVaultick");
    const bool markWasFree = mark && GetLastError() != ERROR_ALREADY_EXISTS;
    runningMark_.reset(mark);
    if (!markWasFree && CountProcessesInOwnSession(L"DorviVaultick.exe") > 1) {
        const int handle = SettingsStore().ReadInteger(kMainSection, L"HProc", 0);
        const HWND other = reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
        if (handle != 0 && IsRunningMainWindow(other))
            PostMessageW(other, kHandOverMessage, context_.firstArgument == L"Rimuovi" ? 1 : 0, 0);
        terminate_ = true;
        return;
    }

    const std::wstring sweepex = folder + L"\\Sweepex.exe";
    if (!FileExists(sweepex)) {
        NotifyUser(L"File mancante:\r" + sweepex, kNotifyError, 0);
        terminate_ = true;
        return;
    }

    // The themed controls need the manifest, read only when the program starts: write it
    // and let the uninstaller start us again.
    if (!FileExists(folder + L"\\DorviVaultick.exe.manifest") && IsXPOrLater() &&
        WriteManifest(folder) &&
        StartProgram(sweepex, L"LanciaFile DorviVaultick.Exe", folder, SW_SHOWNORMAL)) {
        terminate_ = true;
        return;
    }

    const std::optional<StartUpSettings> settings = ReadStartUpSettings();
    if (settings) CBAttiva.SetChecked(settings->programOn);
    firstRun_ = FirstRunDue(settings);

    if (context_.firstArgument == L"Rimuovi") {
        OpenInstallDialog(Handle(), InstallMode::Uninstall);
        terminate_ = true;
        return;
    }

    WatchForHandOver();
    PlaceClock();
    for (const Control& picture : ImageNum) picture.SetVisible(false);
    Edit2.SetText(ClockText(LocalNow(), L"."));
    AddTimer(Timer1, kTimer1, 55000, true, [this] { Timer1Timer(); });
    AddTimer(TimerOro, kTimerOro, 30000, true, [this] { TimerOroTimer(); });
    AddTimer(TimerInst, kTimerInst, 100, false, [this] { TimerInstTimer(); });
    AddTimer(TimerBalloon, kTimerBalloon, kUnreportedBalloonMs, false, [this] { TimerBalloonTimer(); });
    AddTimer(TimerProgress, kTimerProgress, kFailedProgressMs, false, [this] { TimerProgressTimer(); });
    taskbar_.Attach(app_.Handle());
    app_.OnTaskbarButtonCreated([this] { taskbar_.ButtonCreated(); });
    manualRun_ = false;
    FileSorg.SetBounds(EditSorg.Bounds());

    int selected = 0;
    {
        const SettingsStore store;
        selected = store.ReadInteger(kMainSection, L"Selez", 0);
        showDuringRun_ = store.ReadBool(kMainSection, L"Mostra", true);
    }
    if (selected > 4 || selected < 0) selected = 0;
    TabSet1.SetSelected(selected);

    trayIcon_.Attach(Handle(), kTrayMessage, L"Vaultick");
    CreatePopupMenu1();
    LoadSchedule(schedule_);
    log_.Configure(schedule_.logEnabled, schedule_.logPath);
    ShowJobPage(selected + 1);
    UpdateTitleAndClock();
    if (trayOn_) SetTrayIconVisible(L"Mostra");

    if (context_.firstArgument == L"/go") {
        showAtStart_ = false;
        app_.HideMainForm();
        RunStartupJobs();
        UpdateActivationDisplay();
    }

    SettingsStore().WriteInteger(kMainSection, L"HProc",
                                 static_cast<int>(reinterpret_cast<INT_PTR>(Handle())));
}

void TFormVaultick::PlaceClock() {
    StatusBar1.SetPanels({});  // recomputed below once the bar has its size
    SendMessageW(StatusBar1.Handle(), WM_SIZE, 0, 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int panel0Right = client.right - 64;
    StatusBar1.SetPanels({panel0Right, -1});
    const RECT bar = StatusBar1.Bounds();
    const int height = bar.bottom - bar.top - 6;
    SetWindowPos(Edit2.Handle(), HWND_TOP, panel0Right + 3, bar.top + 3, client.right - panel0Right - 20, height, 0);
}

void TFormVaultick::FormActivate() {
    TabSet1.Focus();
    UpdateActivationDisplay();
    if (firstRun_) TimerInst.SetEnabled(true);
}

void TFormVaultick::TimerOroTimer() { Edit2.SetText(ClockText(LocalNow(), TimeSeparator())); }

void TFormVaultick::TimerInstTimer() {
    TimerInst.SetEnabled(false);
    firstRun_ = false;
    OpenInstallDialog(Handle(), InstallMode::Install);
    RequestHelp(L"CondizionidiUtilizzo");
}

void TFormVaultick::ShowJobPage(int slot) {
    trayOn_ = SettingsStore().ReadBool(kMainSection, L"Task Bar", false);
    for (int i = 0; i < 5; ++i) ImageNum[static_cast<size_t>(i)].SetVisible(i + 1 == slot);

    const JobPageView page = ComputeJobPage(ReadStoredJobValues(slot, context_.dataFolder));
    Label6.SetText(page.label6);
    Label7.SetText(page.label7);
    if (page.editSorgHint) SetHint(EditSorg.Handle(), *page.editSorgHint);
    if (page.editDestHint) SetHint(EditDest.Handle(), *page.editDestHint);
    EditSorg.SetVisible(!page.listSource);
    FileSorg.SetVisible(page.listSource);
    FileSorg.Clear();
    for (const auto& item : page.fileSorg) FileSorg.Add(item);
    FileSorg.SetItemIndex(page.fileSorg.empty() ? -1 : 0);
    if (!page.listSource) EditSorg.SetText(page.editSorg);
    EditDest.SetText(page.editDest);
    Edit3.SetText(page.edit3);

    CBAbilita.SetChecked(page.enabled);
    CBAbilita.SetEnabled(page.enableBoxEnabled);
    BtnAvvia.SetEnabled(page.runButtonEnabled);
    ScheduledJob& job = schedule_.Job(slot);
    job.enabled = page.enabled;
    job.everyNHours = page.hoursFlag;
    job.everyNDays = page.daysFlag;
    StoreJobEnabled();
    UpdateActivationDisplay();
}

void TFormVaultick::StoreJobEnabled() {
    SettingsStore().WriteBool(kMainSection, SlotValueName(L"Attesa", SelectedSlot()), CBAbilita.Checked());
}

void TFormVaultick::UpdateActivationDisplay() {
    CBAbilita.SetVisible(CBAttiva.Checked());
    if (PopupMenu1)
        ModifyMenuW(PopupMenu1, kAttivaprogramma1, MF_BYCOMMAND | MF_STRING, kAttivaprogramma1,
                    CBAttiva.Checked() ? L"Disattiva &Vaultick" : L"Attiva &Vaultick");
    UpdateTitleAndClock();
    const int image = clockColour_ == RGB(0, 0, 0) ? IDI_TRAY_ON : IDI_TRAY_OFF;
    trayIcon_.SetImage(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(image), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                     LR_SHARED)));
}

void TFormVaultick::UpdateTitleAndClock() {
    const ActivationLook look = ComputeActivationLook(schedule_.AnyEnabled(), CBAttiva.Checked());
    app_.SetTitle(look.title);
    clockColour_ = look.clockColour;
    InvalidateRect(Edit2.Handle(), nullptr, TRUE);
}

void TFormVaultick::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDX_ABILITA: CBAbilitaClick(); break;
        case IDB_AVVIA: BtnAvviaClick(); break;
        case IDX_ATTIVA: CBAttivaClick(); break;
        case IDB_INFO: BtnInfoClick(); break;
        case IDB_SETUP: BtnSetupClick(); break;
        case IDB_INSTALLAZ: BitBtn1Click(); break;
        case IDB_HELP: BtnHelpClick(); break;
        case IDB_CHIUDI: BtnChiudiClick(); break;
        default: break;
    }
}

void TFormVaultick::TabSet1Click() {
    ShowJobPage(SelectedSlot());
    SettingsStore().WriteInteger(kMainSection, L"Selez", TabSet1.Selected());
}

void TFormVaultick::CBAbilitaClick() {
    StoreJobEnabled();
    schedule_.Job(SelectedSlot()).enabled = CBAbilita.Checked();
    UpdateActivationDisplay();
}

void TFormVaultick::CBAttivaClick() {
    SettingsStore().WriteBool(kMainSection, L"CBAttiva", CBAttiva.Checked());
    UpdateActivationDisplay();
}

void TFormVaultick::BtnAvviaClick() {
    if (Edit3.Text() != L"Manuale" && NotifyUser(L"Effettuare il backup fuori orario?", kNotifyQuestion, 6) != 1)
        return;
    RequestRun({RunRequest::Job, SelectedSlot(), true});
}

void TFormVaultick::BtnInfoClick() {
    AboutBox info;
    info.ShowModal(Handle());
}

void TFormVaultick::BtnSetupClick() {
    OpenSetupWindow(Handle(), TabSet1.Selected());
    ShowJobPage(SelectedSlot());
    // The set-up window has saved; the autostart follows what it saved (the tray switch is
    // reread by the page).
    UpdateAutostart();
    LoadSchedule(schedule_);
    log_.Configure(schedule_.logEnabled, schedule_.logPath);
    UpdateTitleAndClock();
    showDuringRun_ = SettingsStore().ReadBool(kMainSection, L"Mostra", true);
    SetTrayIconVisible(trayOn_ ? L"Mostra" : L"Rimuovi");
}

void TFormVaultick::BitBtn1Click() {
    if (OpenInstallDialog(Handle(), InstallMode::Change)) EndProgram();
}

void TFormVaultick::BtnHelpClick() { RequestHelp(L"Principale"); }

void TFormVaultick::BtnChiudiClick() {
    if (StaysResident()) {
        app_.HideMainForm();
        return;
    }
    FormClose();
    DestroyWindow(Handle());
}

void TFormVaultick::OnClose() { BtnChiudiClick(); }

void TFormVaultick::FormClose() {
    UpdateAutostart();
    CloseHelpViewer();
    SetTrayIconVisible(L"Rimuovi");
}

void TFormVaultick::OnDestroy() {
    if (g_handOverHook) UnhookWindowsHookEx(g_handOverHook);
    g_handOverHook = nullptr;
    g_handOverWindow = nullptr;
    // However the program ends, no icon stays behind in the tray.
    trayIcon_.Remove();
    app_.OnTaskbarButtonCreated(nullptr);
    if (PopupMenu1) DestroyMenu(PopupMenu1);
    PopupMenu1 = nullptr;
    EndProgram();
}

void TFormVaultick::EndProgram() {
    ending_ = true;
    PostQuitMessage(0);
}

void TFormVaultick::UpdateAutostart() {
    vt::UpdateAutostart(context_.programFolder, StaysResident());
}

// With the tray icon, or with jobs that will run, the program stays when its window closes.
bool TFormVaultick::StaysResident() const { return trayOn_ || (AnyJobEnabledInStore() && CBAttiva.Checked()); }

void TFormVaultick::SetTrayIconVisible(const std::wstring& command) {
    if (command == L"Mostra") trayIcon_.Show();
    else if (command == L"Rimuovi") trayIcon_.Hide();
}

void TFormVaultick::OnHint(const std::wstring& hint) { StatusBar1.SetPanelText(0, hint); }

void TFormVaultick::WatchForHandOver() {
    g_handOverWindow = Handle();
    if (!g_handOverHook) g_handOverHook = SetWindowsHookExW(WH_GETMESSAGE, &TakePostedHandOver, nullptr, GetCurrentThreadId());
}

void TFormVaultick::BringUpForUser() {
    app_.BringUp();
    stateBeforeRun_ = WindowState::Shown;
}

void TFormVaultick::HandOver(WPARAM parameter) {
    BringUpForUser();
    if (parameter == 1) removalPending_ = true;
}

void TFormVaultick::TakePendingRemoval() {
    if (!removalPending_ || ending_) return;
    removalPending_ = false;
    OpenUninstallDialog();
}

void TFormVaultick::OpenUninstallDialog() {
    if (OpenInstallDialog(Handle(), InstallMode::Uninstall)) EndProgram();
}

INT_PTR TFormVaultick::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case kHandOverTaken:
            HandOver(wParam);
            return 0;
        case kTrayMessage:
            TrayMessage(lParam);
            return 0;
        case WM_QUERYENDSESSION:
            return WMQueryEndSession();
        case WM_ENDSESSION:
            if (!wParam) SessionEndCancelled();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) break;
            FormActivate();
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE: BtnChiudiClick(); return 0;
                case SC_MINIMIZE: app_.Minimize(); return 0;
                default: break;
            }
            break;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == TabSet1.Handle() && header->code == TCN_SELCHANGE) {
                TabSet1Click();
                return 0;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == Edit2.Handle()) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, clockColour_);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        default:
            if (msg == TrayIcon::TaskbarCreatedMessage() && msg != 0) {
                trayIcon_.Restore();
                AfterBalloon();
                ShowUntoldNotice();
                return 0;
            }
            break;
    }
    handled = false;
    return 0;
}

void TFormVaultick::AppendLog(const std::wstring& line) { log_.Append(line); }

void TFormVaultick::SetStatusText(const std::wstring& text) {
    StatusBar1.SetPanelText(0, text);
    // The engine works without pumping messages; its status shows at once.
    UpdateWindow(StatusBar1.Handle());
}

void TFormVaultick::SetClockText(const std::wstring& text) {
    Edit2.SetText(text);
    UpdateWindow(Edit2.Handle());
}

void TFormVaultick::Repaint() { RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// With "Mostra" off the window stays hidden during the runs the program starts by itself; a
// run started with "Avvia" finds it shown anyway.
bool TFormVaultick::WindowSuppressedForRun() const { return !showDuringRun_ && !manualRun_; }

void TFormVaultick::ShowForRun() {
    TimerProgress.SetEnabled(false);
    taskbar_.Set(TaskbarProgress::Busy);
    // "Mostra" may be read again inside the run; HideAfterRun follows what was done here.
    shownForRun_ = !WindowSuppressedForRun();
    if (!shownForRun_) return;
    // Minimised, the window is hidden too, but its taskbar button stays.
    if (app_.IsMinimized()) stateBeforeRun_ = WindowState::Minimised;
    else if (IsWindowVisible(Handle())) stateBeforeRun_ = WindowState::Shown;
    else stateBeforeRun_ = WindowState::Hidden;
    app_.BringUp();
    UpdateWindow(Handle());
}

void TFormVaultick::HideAfterRun() {
    if (!shownForRun_) return;
    shownForRun_ = false;
    switch (stateBeforeRun_) {
        case WindowState::Shown: return;
        case WindowState::Minimised: app_.Minimize(); return;
        case WindowState::Hidden:
            if (trayOn_) SetTrayIconVisible(L"Mostra");
            app_.HideMainForm();
            return;
    }
}

void TFormVaultick::SetBusyCursor(bool busy) { vt::SetBusyCursor(busy); }

bool TFormVaultick::JobEnabled(int slot) const { return schedule_.Job(slot).enabled; }

}  // namespace vt
