#include "install/InstallDialog.h"

#include <windows.h>
#include <commctrl.h>

#include <cwctype>

#include "install/FormInstallaz.h"
#include "install/InstallIds.h"
#include "install/InstallTexts.h"
#include "install/Shortcuts.h"
#include "install/UninstallLogWriter.h"
#include "settings/FileListFile.h"
#include "settings/ProgramValues.h"
#include "settings/SettingsSchema.h"
#include "win/BusyCursor.h"
#include "win/FileHelpers.h"
#include "win/Help.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/RegKey.h"
#include "win/StartProgram.h"
#include "win/WholeDrive.h"

namespace vt {

namespace {

constexpr UINT_PTR kTimerClose = 1;

struct Glyph {
    int button, image, grey;
};
constexpr Glyph kGlyphs[] = {
    {IDB_ANNULLA, IDI_GLYPH_ANNULLA, IDI_GLYPH_ANNULLA_GREY},
    {IDB_IMPOSTA, IDI_GLYPH_IMPOSTA, IDI_GLYPH_IMPOSTA_GREY},
    {IDB_DISINSTALLA, IDI_GLYPH_DISINSTALLA, IDI_GLYPH_DISINSTALLA_GREY},
    {IDB_INST_HELP, IDI_GLYPH_HELP, IDI_GLYPH_HELP_GREY},
};

void SetGlyph(HWND button, int iconId) {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                               16, 16, LR_DEFAULTCOLOR | LR_SHARED));
    if (icon) SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

bool PassesAdministratorTest() {
    try {
        RegKey probe = RegKey::Create(HKEY_LOCAL_MACHINE, kAdminProbeKey);
        if (!probe.IsOpen()) return false;
        probe.Close();
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kAdminProbeKey);
        return true;
    } catch (...) {
        return false;
    }
}

InstallEnvironment SystemInstallEnvironment() {
    InstallEnvironment env;
    env.exePath = ModuleFileName();
    env.temporaryFolder = ExcludeTrailingBackslash(TempFolder());
    env.dataFolder = DataFolder();
    // Every system the program runs on (Windows 7 or later) is of the NT family.
    env.isNT = true;
    env.currentUser = CurrentLogonName();
    env.places = SystemShellPlaces();
    env.profiles = SystemOtherProfiles(env.currentUser);
    return env;
}

TFormInstallaz::TFormInstallaz(InstallMode mode, InstallEnvironment environment)
    : Form(IDD_INSTALLAZ), mode_(mode), env_(std::move(environment)) {}

TFormInstallaz::~TFormInstallaz() {
    if (Handle() && !IsModal()) DestroyWindow(Handle());
    if (bigFont_) DeleteObject(bigFont_);
}

std::wstring TFormInstallaz::ProgramFolder() const { return FolderOf(env_.exePath); }

void TFormInstallaz::AttachControls() {
    HWND h = Handle();
    RBUtente.Attach(h, IDR_RBUTENTE);
    RBTutti.Attach(h, IDR_RBTUTTI);
    LabelAmm.Attach(h, IDG_LABELAMM);
    LabelIcone.Attach(h, IDG_ICONE);
    CBDesktop.Attach(h, IDX_DESKTOP);
    CBMenuAvvio.Attach(h, IDX_MENUAVVIO);
    CBAvvioVeloce.Attach(h, IDX_AVVIOVELOCE);
    LB2.Attach(h, IDL_LB2);
    Label1.Attach(h, IDT_LABEL1);
    BtnAnnulla.Attach(h, IDB_ANNULLA);
    BtnImposta.Attach(h, IDB_IMPOSTA);
    BtnDisinstalla.Attach(h, IDB_DISINSTALLA);
    BtnHelp.Attach(h, IDB_INST_HELP);
}

void TFormInstallaz::CreateGlyphsAndHints() {
    for (const Glyph& glyph : kGlyphs) SetGlyph(Item(glyph.button), glyph.image);
    const std::pair<const Button*, const wchar_t*> hints[] = {
        {&BtnAnnulla, L"Chiude senza salvare"},
        {&BtnImposta, L"Salva le impostazioni e chiude"},
        {&BtnDisinstalla, L"Disinstalla il programma dal computer"},
        {&BtnHelp, L"Mostra il file della guida per questa finestra"},
    };
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, nullptr, nullptr);
    for (const auto& [button, hint] : hints) {
        SetHint(button->Handle(), hint);
        if (!tooltip_) continue;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(button->Handle());
        tool.lpszText = const_cast<wchar_t*>(hint);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TFormInstallaz::OnCreate() {
    creating_ = true;
    AttachControls();
    CreateGlyphsAndHints();
    AddTimer(TimerClose, kTimerClose, 100, false, [this] { TimerCloseTimer(); });
    for (const std::wstring& name : InstalledFileNames()) LB2.Add(name);
    uninstallStarted_ = false;
    RBUtente.SetChecked(true);
    CBMenuAvvio.SetChecked(true);

    if (env_.isNT) {
        if (env_.currentUser.empty()) env_.currentUser = L"sconosciuto";
        RBUtente.SetText(UserRadioCaption(env_.currentUser));
        isAdmin_ = env_.administratorTest ? env_.administratorTest() : PassesAdministratorTest();
        if (!isAdmin_) {
            CBMenuAvvio.SetChecked(true);
            CBMenuAvvio.SetEnabled(false);
            RBUtente.SetEnabled(false);
            RBTutti.SetEnabled(false);
            LabelAmm.SetEnabled(false);
        }
    } else {
        LabelAmm.SetEnabled(false);
        RBUtente.SetEnabled(false);
        RBTutti.SetEnabled(false);
        env_.profiles.folders.clear();
        isAdmin_ = true;
        env_.currentUser.clear();
    }

    if (const auto machine = env_.isNT ? ReadMachineInstallValues() : std::nullopt) {
        installingUser_ = machine->installingUser;
        RBTutti.SetChecked(machine->allUsers);
        RBUtente.SetChecked(!machine->allUsers);
    }
    ProbeShortcuts();
    SetMode(mode_);
    creating_ = false;
}

void TFormInstallaz::ProbeShortcuts() {
    const std::wstring folder = ProgramFolder();
    auto exists = [&](const wchar_t* kind, const wchar_t* name) {
        return !CreateShortcut(env_.places, env_.exePath, L"", folder, true, 0, env_.exePath, kind, name).empty();
    };
    CBDesktop.SetChecked(exists(L"Desktop", kProductName));
    CBAvvioVeloce.SetChecked(exists(L"QuickLaunch", kProductName));
    CBMenuAvvio.SetChecked(exists(L"Start", L"Dorvi\\Vaultick\\Vaultick") ||
                           exists(L"StartAll", L"Dorvi\\Vaultick\\Vaultick"));
}

void TFormInstallaz::SetMode(InstallMode mode) {
    mode_ = mode;
    SetWindowTextW(Handle(), InstallCaption(mode, env_.isNT, isAdmin_).c_str());
    switch (mode) {
        case InstallMode::Install:
            SetHelp(L"Installazione", 30);
            BtnDisinstalla.SetVisible(false);
            BtnAnnulla.SetVisible(false);
            CBMenuAvvio.SetChecked(true);
            return;
        case InstallMode::Change:
            SetHelp(L"Installazione", 30);
            BtnAnnulla.SetVisible(false);
            BtnDisinstalla.SetVisible(true);
            BtnDisinstalla.SetEnabled(isAdmin_);
            return;
        case InstallMode::Uninstall:
            break;
    }
    SetHelp(L"Disinstallazione", 40);
    LabelAmm.SetText(L"File da rimuovere");
    LabelAmm.SetEnabled(true);
    // The file list takes the room of the choices it replaces.
    RECT group = LabelAmm.Bounds();
    const RECT icons = LabelIcone.Bounds();
    group.bottom = icons.bottom;
    LabelAmm.SetBounds(group);
    RECT list = LB2.Bounds();
    list.bottom = group.bottom - (list.left - group.left);
    LB2.SetBounds(list);
    for (HWND hidden : {RBUtente.Handle(), RBTutti.Handle(), LabelIcone.Handle(), CBDesktop.Handle(),
                        CBMenuAvvio.Handle(), CBAvvioVeloce.Handle(), BtnImposta.Handle()})
        ShowWindow(hidden, SW_HIDE);
    LB2.SetVisible(true);
    Label1.SetText(L"Rimuovere il programma?");
    Label1.SetVisible(true);
    BtnDisinstalla.SetText(L"    Si");
    BtnAnnulla.SetText(L"   No");
    BtnDisinstalla.SetVisible(true);
    BtnAnnulla.SetVisible(true);
    if (!bigFont_) {
        LOGFONTW font = FontOf(Handle());
        HDC screen = GetDC(nullptr);
        font.lfHeight = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
        bigFont_ = CreateFontIndirectW(&font);
    }
    for (const Button* button : {&BtnDisinstalla, &BtnAnnulla})
        SendMessageW(button->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(bigFont_), TRUE);
    SendMessageW(Handle(), DM_SETDEFID, IDB_ANNULLA, 0);

    switch (UninstallGateFor(isAdmin_, installingUser_, env_.currentUser)) {
        case UninstallGate::NotAdministrator:
            BtnDisinstalla.SetEnabled(false);
            NotifyUser(kNotAdminMessage, kNotifyError, 0);
            TimerClose.SetEnabled(true);
            break;
        case UninstallGate::AskOtherInstaller:
            if (NotifyUser(OtherInstallerQuestion(installingUser_), kNotifyQuestion, 3) == IDNO) {
                BtnAnnullaClick();
                return;
            }
            MessageBeep(MB_ICONASTERISK);
            break;
        case UninstallGate::Proceed:
            MessageBeep(MB_ICONASTERISK);
            break;
    }
}

void TFormInstallaz::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDB_IMPOSTA: BtnImpostaClick(); break;
        case IDB_DISINSTALLA: BtnDisinstallaClick(); break;
        case IDB_ANNULLA: BtnAnnullaClick(); break;
        case IDB_INST_HELP: BtnHelpClick(); break;
        default: break;
    }
}

INT_PTR TFormInstallaz::OnMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
    handled = false;
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && !activated_) {
        activated_ = true;
        allUsersAtOpen_ = RBTutti.Checked();
    }
    return 0;
}

void TFormInstallaz::OnEscape() {
    // Esc is the "Annulla" button's, and only while that button can be pressed.
    if (BtnAnnulla.Visible() && BtnAnnulla.Enabled()) BtnAnnullaClick();
}

void TFormInstallaz::OnClose() { CloseForm(); }

void TFormInstallaz::CloseForm() {
    if (closed_) return;
    if (!IsModal() && creating_) {
        // A modeless form cannot be destroyed while it is being created.
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return;
    }
    closed_ = true;
    ClosingSteps();
    if (IsModal()) EndModal(IDCANCEL);
    else DestroyWindow(Handle());
}

void TFormInstallaz::ClosingSteps() {
    if (mode_ == InstallMode::Uninstall) return;
    const bool adminOnNT = env_.isNT && LabelAmm.Enabled();
    if (adminOnNT) {
        try {
            WriteMachineInstallValues({env_.currentUser, RBTutti.Checked()});
        } catch (...) {
        }
    }
    try {
        WriteInstallDone();
    } catch (...) {
    }
    if (env_.isNT && !LabelAmm.Enabled()) return;
    CreateShortcut(env_.places, env_.exePath, L"Rimuovi", ProgramFolder(), false, 2, env_.exePath, L"File",
                   ProgramFolder() + L"\\Rimuovi " + kProductName);
    WriteInstalledProgramsEntry(env_.exePath);
}

void TFormInstallaz::Repaint() { RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

void TFormInstallaz::SetGlyphsEnabled(bool enabled) {
    for (const Glyph& glyph : kGlyphs) {
        EnableWindow(Item(glyph.button), enabled);
        SetGlyph(Item(glyph.button), enabled ? glyph.image : glyph.grey);
    }
}

void TFormInstallaz::BtnImpostaClick() {
    SetBusyCursor(true);
    Repaint();
    if (env_.isNT && LabelAmm.Enabled()) {
        if (RBTutti.Checked()) {
            CreateStartMenuShortcuts(L"StartAll");
        } else {
            if (allUsersAtOpen_ && SomeoneLoggedOn(env_.profiles) &&
                NotifyUser(kLoggedOnChangeQuestion, kNotifyQuestion, 3) == IDNO) {
                RBTutti.SetChecked(true);
                RBUtente.SetChecked(false);
                SetBusyCursor(false);
                return;
            }
            RemoveFromOtherProfiles(env_.profiles, env_.places, false);
            RemoveFromOtherHives(env_.profiles, false);
        }
    }
    ApplyUserShortcuts();
    SetBusyCursor(false);
    CloseForm();
}

void TFormInstallaz::ApplyUserShortcuts() {
    const std::wstring folder = ProgramFolder();
    const std::pair<const CheckBox*, const wchar_t*> single[] = {{&CBDesktop, L"Desktop"},
                                                                 {&CBAvvioVeloce, L"QuickLaunch"}};
    for (const auto& [box, kind] : single) {
        if (box->Checked())
            CreateShortcut(env_.places, env_.exePath, L"", folder, false, 0, env_.exePath, kind, kProductName);
        else DeleteShortcutItem(env_.places, kProductName, kind);
    }
    if (!CBMenuAvvio.Checked()) {
        DeleteShortcutItem(env_.places, L"Dorvi\\Vaultick", L"Start_Folder");
        DeleteShortcutItem(env_.places, L"Dorvi", L"Start_Folder_Vuoto");
        return;
    }
    CreateStartMenuShortcuts(L"Start");
}

void TFormInstallaz::CreateStartMenuShortcuts(const wchar_t* kind) {
    const std::wstring folder = ProgramFolder();
    CreateShortcut(env_.places, env_.exePath, L"", folder, false, 0, env_.exePath, kind, L"Dorvi\\Vaultick\\Vaultick");
    // The system no longer opens a help file of this kind, and ours is our own format: the
    // program itself shows it.
    CreateShortcut(env_.places, env_.exePath, kHelpArgument, folder, false, 1, env_.exePath, kind,
                   L"Dorvi\\Vaultick\\Guida a Vaultick");
    CreateShortcut(env_.places, env_.exePath, L"Rimuovi", folder, false, 2, env_.exePath, kind,
                   L"Dorvi\\Vaultick\\Rimuovi Vaultick");
}

void TFormInstallaz::BtnDisinstallaClick() {
    if (mode_ != InstallMode::Uninstall) {
        ShowWindow(Handle(), SW_HIDE);
        SetMode(InstallMode::Uninstall);
        if (!closed_) ShowWindow(Handle(), SW_SHOW);
        return;
    }
    RunRemoval();
}

void TFormInstallaz::RunRemoval() {
    Label1.SetText(L"Controllo utenti in corso...");
    SetGlyphsEnabled(false);
    Repaint();
    if (SomeoneLoggedOn(env_.profiles) && NotifyUser(kLoggedOnRemoveQuestion, kNotifyQuestion, 3) == IDNO) {
        CloseForm();
        return;
    }
    Label1.SetText(L"  Attendere...");
    SetBusyCursor(true);
    uninstallStarted_ = true;
    for (const CheckBox* box : {&CBDesktop, &CBMenuAvvio, &CBAvvioVeloce}) box->SetChecked(false);
    Repaint();
    WriteUninstallLog(env_.temporaryFolder, ProgramFolder());
    ApplyUserShortcuts();
    RemoveFromOtherProfiles(env_.profiles, env_.places, true);
    RemoveFromOtherHives(env_.profiles, true);
    if (IsAbsoluteBelowRoot(env_.dataFolder)) DeleteTree(env_.dataFolder);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kInstalledProgramsKey);
    StartUninstaller();
    SetBusyCursor(false);
    CloseForm();
}

void TFormInstallaz::StartUninstaller() {
    const std::wstring copy = env_.temporaryFolder + L"\\Sweepex.exe";
    DeleteFileForced(copy);
    CopyFileW((ProgramFolder() + L"\\Sweepex.exe").c_str(), copy.c_str(), FALSE);
    StartProgram(copy, std::wstring(L"GoUninstal Dorvi") + kProductName, env_.temporaryFolder, SW_SHOWNORMAL);
}

void TFormInstallaz::BtnAnnullaClick() {
    uninstallStarted_ = false;
    CloseForm();
}

void TFormInstallaz::BtnHelpClick() {
    RequestHelp(mode_ == InstallMode::Uninstall ? L"Disinstallazione" : L"Installazione");
}

void TFormInstallaz::TimerCloseTimer() {
    TimerClose.SetEnabled(false);
    CloseForm();
}

bool OpenInstallDialog(HWND owner, InstallMode mode) {
    TFormInstallaz form(mode, SystemInstallEnvironment());
    form.ShowModal(owner);
    return form.UninstallStarted();
}

}  // namespace vt
