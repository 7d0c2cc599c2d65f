#include "install/InstallDialog.h"

#include <windows.h>
#include <commctrl.h>

#include "install/InstallDialogForm.h"
#include "install/InstallIds.h"
#include "install/InstallTexts.h"
#include "install/Shortcuts.h"
#include "install/UninstallLogWriter.h"
#include "settings/ProgramValues.h"
#include "settings/SettingsSchema.h"
#include "win/Help.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/RegKey.h"

namespace vt {

namespace {

constexpr UINT_PTR kCloseTimerId = 1;

struct Glyph {
    int button, image, grey;
};
constexpr Glyph kGlyphs[] = {
    {IDB_INSTALL_CANCEL, IDI_GLYPH_CANCEL, IDI_GLYPH_CANCEL_GREY},
    {IDB_INSTALL_APPLY, IDI_GLYPH_APPLY, IDI_GLYPH_APPLY_GREY},
    {IDB_INSTALL_UNINSTALL, IDI_GLYPH_UNINSTALL, IDI_GLYPH_UNINSTALL_GREY},
    {IDB_INSTALL_HELP, IDI_GLYPH_HELP, IDI_GLYPH_HELP_GREY},
};

void SetGlyph(HWND button, int iconId) {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                               16, 16, LR_DEFAULTCOLOR | LR_SHARED));
    if (icon) SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

InstallDialog::InstallDialog(InstallMode mode, InstallEnvironment environment)
    : Form(IDD_INSTALL), mode_(mode), env_(std::move(environment)) {}

InstallDialog::~InstallDialog() {
    if (Handle() && !IsModal()) DestroyWindow(Handle());
    if (bigFont_) DeleteObject(bigFont_);
}

std::wstring InstallDialog::ProgramFolder() const { return FolderOf(env_.exePath); }

void InstallDialog::AttachControls() {
    HWND h = Handle();
    CurrentUserRadio.Attach(h, IDR_INSTALL_CURRENT_USER);
    AllUsersRadio.Attach(h, IDR_INSTALL_ALL_USERS);
    AvailabilityGroup.Attach(h, IDG_INSTALL_AVAILABILITY);
    ShortcutsGroup.Attach(h, IDG_INSTALL_SHORTCUTS);
    DesktopCheck.Attach(h, IDX_INSTALL_DESKTOP);
    StartMenuCheck.Attach(h, IDX_INSTALL_START_MENU);
    QuickLaunchCheck.Attach(h, IDX_INSTALL_QUICK_LAUNCH);
    FilesToRemoveList.Attach(h, IDL_INSTALL_FILES);
    PromptLabel.Attach(h, IDT_INSTALL_PROMPT);
    CancelButton.Attach(h, IDB_INSTALL_CANCEL);
    ApplyButton.Attach(h, IDB_INSTALL_APPLY);
    UninstallButton.Attach(h, IDB_INSTALL_UNINSTALL);
    HelpButton.Attach(h, IDB_INSTALL_HELP);
}

void InstallDialog::CreateGlyphsAndHints() {
    for (const Glyph& glyph : kGlyphs) SetGlyph(Item(glyph.button), glyph.image);
    const std::pair<const Button*, const wchar_t*> hints[] = {
        {&CancelButton, L"Chiude senza salvare"},
        {&ApplyButton, L"Salva le impostazioni e chiude"},
        {&UninstallButton, L"Disinstalla il programma dal computer"},
        {&HelpButton, L"Mostra il file della guida per questa finestra"},
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

void InstallDialog::OnCreate() {
    creating_ = true;
    AttachControls();
    CreateGlyphsAndHints();
    AddTimer(CloseTimer, kCloseTimerId, 100, false, [this] { OnCloseTimer(); });
    for (const std::wstring& name : InstalledFileNames()) FilesToRemoveList.Add(name);
    uninstallStarted_ = false;
    CurrentUserRadio.SetChecked(true);
    StartMenuCheck.SetChecked(true);

    CheckAdministratorRights();

    if (const auto machine = env_.isNT ? ReadMachineInstallValues() : std::nullopt) {
        installingUser_ = machine->installingUser;
        AllUsersRadio.SetChecked(machine->allUsers);
        CurrentUserRadio.SetChecked(!machine->allUsers);
    }
    ProbeShortcuts();
    SetMode(mode_);
    creating_ = false;
}

void InstallDialog::CheckAdministratorRights() {
    if (env_.isNT) {
        if (env_.currentUser.empty()) env_.currentUser = L"sconosciuto";
        CurrentUserRadio.SetText(UserRadioCaption(env_.currentUser));
        isAdmin_ = env_.administratorTest ? env_.administratorTest() : PassesAdministratorTest();
        if (!isAdmin_) {
            StartMenuCheck.SetChecked(true);
            StartMenuCheck.SetEnabled(false);
            CurrentUserRadio.SetEnabled(false);
            AllUsersRadio.SetEnabled(false);
            AvailabilityGroup.SetEnabled(false);
        }
    } else {
        AvailabilityGroup.SetEnabled(false);
        CurrentUserRadio.SetEnabled(false);
        AllUsersRadio.SetEnabled(false);
        env_.profiles.folders.clear();
        isAdmin_ = true;
        env_.currentUser.clear();
    }
}

void InstallDialog::ProbeShortcuts() {
    const std::wstring folder = ProgramFolder();
    auto exists = [&](const wchar_t* kind, const wchar_t* name) {
        return !CreateShortcut(env_.places, env_.exePath, L"", folder, true, 0, env_.exePath, kind, name).empty();
    };
    DesktopCheck.SetChecked(exists(L"Desktop", kProductName));
    QuickLaunchCheck.SetChecked(exists(L"QuickLaunch", kProductName));
    StartMenuCheck.SetChecked(exists(L"Start", L"Dorvi\\Vaultick\\Vaultick") ||
                           exists(L"StartAll", L"Dorvi\\Vaultick\\Vaultick"));
}

void InstallDialog::SetMode(InstallMode mode) {
    mode_ = mode;
    SetWindowTextW(Handle(), InstallCaption(mode, env_.isNT, isAdmin_).c_str());
    switch (mode) {
        case InstallMode::Install: SetUpInstallMode(); break;
        case InstallMode::Change: SetUpChangeMode(); break;
        case InstallMode::Uninstall: SetUpUninstallMode(); break;
    }
}

void InstallDialog::SetUpInstallMode() {
    SetHelp(L"Installazione", 30);
    UninstallButton.SetVisible(false);
    CancelButton.SetVisible(false);
    StartMenuCheck.SetChecked(true);
}

void InstallDialog::SetUpChangeMode() {
    SetHelp(L"Installazione", 30);
    CancelButton.SetVisible(false);
    UninstallButton.SetVisible(true);
    UninstallButton.SetEnabled(isAdmin_);
}

void InstallDialog::SetUpUninstallMode() {
    SetHelp(L"Disinstallazione", 40);
    ShowFilesToRemove();
    PromptLabel.SetText(L"Rimuovere il programma?");
    PromptLabel.SetVisible(true);
    UninstallButton.SetText(L"    Si");
    CancelButton.SetText(L"   No");
    UninstallButton.SetVisible(true);
    CancelButton.SetVisible(true);
    if (!bigFont_) {
        LOGFONTW font = FontOf(Handle());
        HDC screen = GetDC(nullptr);
        font.lfHeight = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
        bigFont_ = CreateFontIndirectW(&font);
    }
    for (const Button* button : {&UninstallButton, &CancelButton})
        SendMessageW(button->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(bigFont_), TRUE);
    SendMessageW(Handle(), DM_SETDEFID, IDB_INSTALL_CANCEL, 0);
    PassUninstallGate();
}

void InstallDialog::ShowFilesToRemove() {
    AvailabilityGroup.SetText(L"File da rimuovere");
    AvailabilityGroup.SetEnabled(true);
    // The file list takes the room of the choices it replaces.
    RECT group = AvailabilityGroup.Bounds();
    const RECT icons = ShortcutsGroup.Bounds();
    group.bottom = icons.bottom;
    AvailabilityGroup.SetBounds(group);
    RECT list = FilesToRemoveList.Bounds();
    list.bottom = group.bottom - (list.left - group.left);
    FilesToRemoveList.SetBounds(list);
    for (HWND hidden : {CurrentUserRadio.Handle(), AllUsersRadio.Handle(), ShortcutsGroup.Handle(), DesktopCheck.Handle(),
                        StartMenuCheck.Handle(), QuickLaunchCheck.Handle(), ApplyButton.Handle()})
        ShowWindow(hidden, SW_HIDE);
    FilesToRemoveList.SetVisible(true);
}

void InstallDialog::PassUninstallGate() {
    switch (UninstallGateFor(isAdmin_, installingUser_, env_.currentUser)) {
        case UninstallGate::NotAdministrator:
            UninstallButton.SetEnabled(false);
            ShowMessage(kNotAdminMessage, kNotifyError);
            CloseTimer.SetEnabled(true);
            break;
        case UninstallGate::AskOtherInstaller:
            if (AskYesNo(OtherInstallerQuestion(installingUser_)) == YesNo::No) {
                OnCancelClicked();
                return;
            }
            MessageBeep(MB_ICONASTERISK);
            break;
        case UninstallGate::Proceed:
            MessageBeep(MB_ICONASTERISK);
            break;
    }
}

void InstallDialog::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDB_INSTALL_APPLY: OnApplyClicked(); break;
        case IDB_INSTALL_UNINSTALL: OnUninstallClicked(); break;
        case IDB_INSTALL_CANCEL: OnCancelClicked(); break;
        case IDB_INSTALL_HELP: OnHelpClicked(); break;
        default: break;
    }
}

INT_PTR InstallDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
    handled = false;
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && !activated_) {
        activated_ = true;
        allUsersAtOpen_ = AllUsersRadio.Checked();
    }
    return 0;
}

void InstallDialog::OnEscape() {
    // Esc is the "Annulla" button's, and only while that button can be pressed.
    if (CancelButton.Visible() && CancelButton.Enabled()) OnCancelClicked();
}

void InstallDialog::OnClose() { CloseDialog(); }

void InstallDialog::CloseDialog() {
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

void InstallDialog::ClosingSteps() {
    if (mode_ == InstallMode::Uninstall) return;
    const bool adminOnNT = env_.isNT && AvailabilityGroup.Enabled();
    if (adminOnNT) {
        try {
            WriteMachineInstallValues({env_.currentUser, AllUsersRadio.Checked()});
        } catch (...) {
        }
    }
    try {
        WriteInstallDone();
    } catch (...) {
    }
    if (env_.isNT && !AvailabilityGroup.Enabled()) return;
    CreateShortcut(env_.places, env_.exePath, L"Rimuovi", ProgramFolder(), false, 2, env_.exePath, L"File",
                   ProgramFolder() + L"\\Rimuovi " + kProductName);
    WriteInstalledProgramsEntry(env_.exePath);
}

void InstallDialog::Repaint() { RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

void InstallDialog::SetGlyphsEnabled(bool enabled) {
    for (const Glyph& glyph : kGlyphs) {
        EnableWindow(Item(glyph.button), enabled);
        SetGlyph(Item(glyph.button), enabled ? glyph.image : glyph.grey);
    }
}

void InstallDialog::OnCancelClicked() {
    uninstallStarted_ = false;
    CloseDialog();
}

void InstallDialog::OnHelpClicked() {
    RequestHelp(mode_ == InstallMode::Uninstall ? L"Disinstallazione" : L"Installazione");
}

void InstallDialog::OnCloseTimer() {
    CloseTimer.SetEnabled(false);
    CloseDialog();
}

bool OpenInstallDialog(HWND owner, InstallMode mode) {
    InstallDialog form(mode, SystemInstallEnvironment());
    form.ShowModal(owner);
    return form.UninstallStarted();
}

}  // namespace vt
