// What the installation dialog's buttons do: apply the shortcut choices, or remove the program.
#include "install/InstallDialogForm.h"
#include "install/RemovalFolder.h"
#include "install/InstallTexts.h"
#include "install/Shortcuts.h"
#include "install/UninstallLogWriter.h"
#include "win/BusyCursor.h"
#include "win/FileHelpers.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/RegKey.h"
#include "win/TreeDeletion.h"
#include "win/WholeDrive.h"

namespace vt {

void InstallDialog::OnApplyClicked() {
    SetBusyCursor(true);
    Repaint();
    if (env_.isNT && AvailabilityGroup.Enabled()) {
        if (AllUsersRadio.Checked()) {
            CreateStartMenuShortcuts(L"StartAll");
        } else {
            if (allUsersAtOpen_ && SomeoneLoggedOn(env_.profiles) &&
                AskYesNo(kLoggedOnChangeQuestion) == YesNo::No) {
                AllUsersRadio.SetChecked(true);
                CurrentUserRadio.SetChecked(false);
                SetBusyCursor(false);
                return;
            }
            RemoveFromOtherProfiles(env_.profiles, env_.places, false);
            RemoveFromOtherHives(env_.profiles, false);
        }
    }
    ApplyUserShortcuts();
    SetBusyCursor(false);
    CloseDialog();
}

void InstallDialog::ApplyUserShortcuts() {
    const std::wstring folder = ProgramFolder();
    const std::pair<const CheckBox*, const wchar_t*> single[] = {{&DesktopCheck, L"Desktop"},
                                                                 {&QuickLaunchCheck, L"QuickLaunch"}};
    for (const auto& [box, kind] : single) {
        if (box->Checked())
            CreateShortcut(env_.places, env_.exePath, L"", folder, false, 0, env_.exePath, kind, kProductName);
        else DeleteShortcutItem(env_.places, kProductName, kind);
    }
    if (!StartMenuCheck.Checked()) {
        DeleteShortcutItem(env_.places, L"Dorvi\\Vaultick", L"Start_Folder");
        DeleteShortcutItem(env_.places, L"Dorvi", L"Start_Folder_Vuoto");
        return;
    }
    CreateStartMenuShortcuts(L"Start");
}

void InstallDialog::CreateStartMenuShortcuts(const wchar_t* kind) {
    const std::wstring folder = ProgramFolder();
    CreateShortcut(env_.places, env_.exePath, L"", folder, false, 0, env_.exePath, kind, L"Dorvi\\Vaultick\\Vaultick");
    // The system no longer opens a help file of this kind, and ours is our own format: the
    // program itself shows it.
    CreateShortcut(env_.places, env_.exePath, kHelpArgument, folder, false, 1, env_.exePath, kind,
                   L"Dorvi\\Vaultick\\Guida a Vaultick");
    CreateShortcut(env_.places, env_.exePath, L"Rimuovi", folder, false, 2, env_.exePath, kind,
                   L"Dorvi\\Vaultick\\Rimuovi Vaultick");
}

void InstallDialog::OnUninstallClicked() {
    if (mode_ != InstallMode::Uninstall) {
        ShowWindow(Handle(), SW_HIDE);
        SetMode(InstallMode::Uninstall);
        if (!closed_) ShowWindow(Handle(), SW_SHOW);
        return;
    }
    RunRemoval();
}

void InstallDialog::RunRemoval() {
    PromptLabel.SetText(L"Controllo utenti in corso...");
    SetGlyphsEnabled(false);
    Repaint();
    if (SomeoneLoggedOn(env_.profiles) && AskYesNo(kLoggedOnRemoveQuestion) == YesNo::No) {
        CloseDialog();
        return;
    }
    PromptLabel.SetText(L"  Attendere...");
    SetBusyCursor(true);
    // The uninstaller, its log and its process are made ready before anything is deleted: a
    // step that fails leaves everything in place.
    HeldUninstaller uninstaller;
    if (!PrepareUninstaller(uninstaller)) {
        SetBusyCursor(false);
        ShowMessage(kRemovalNotStartedMessage, kNotifyError);
        CloseDialog();
        return;
    }
    uninstallStarted_ = true;
    for (const CheckBox* box : {&DesktopCheck, &StartMenuCheck, &QuickLaunchCheck}) box->SetChecked(false);
    Repaint();
    ApplyUserShortcuts();
    RemoveFromOtherProfiles(env_.profiles, env_.places, true);
    RemoveFromOtherHives(env_.profiles, true);
    // The folders above the data folder are the system's; "Dorvi" and below are the user's.
    if (IsAbsoluteBelowRoot(env_.dataFolder)) {
        const std::wstring data = ExcludeTrailingBackslash(env_.dataFolder);
        const std::wstring dorvi = FolderOf(data);
        DeleteTreeBelow(FolderOf(dorvi), FileNameOf(dorvi) + L"\\" + FileNameOf(data));
    }
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kInstalledProgramsKey);
    uninstaller.Release();
    SetBusyCursor(false);
    CloseDialog();
}

bool InstallDialog::PrepareUninstaller(HeldUninstaller& uninstaller) {
    const std::wstring folder = CreateRemovalFolder(env_.removalFolder);
    if (folder.empty()) return false;
    if (WriteUninstallLog(folder, ProgramFolder()) &&
        uninstaller.Prepare(ProgramFolder(), folder, std::wstring(L"GoUninstal Dorvi") + kProductName))
        return true;
    // Nothing of a removal that did not start stays behind.
    DeleteFileW((folder + L"\\UnLogF.Dat").c_str());
    DeleteFileW((folder + L"\\Sweepex.exe").c_str());
    RemoveDirectoryW(folder.c_str());
    return false;
}

}  // namespace vt
