#pragma once
// The installation dialog: installs, changes and removes the program for the current user
// or, for an administrator, for all users.
#include <string>

#include "install/InstallDialog.h"
#include "install/InstallEnvironment.h"
#include "win/Controls.h"
#include "win/Form.h"
#include "win/Timer.h"

namespace vt {

class InstallDialog : public Form {
public:
    InstallDialog(InstallMode mode, InstallEnvironment environment);
    ~InstallDialog() override;

    bool UninstallStarted() const { return uninstallStarted_; }
    InstallMode Mode() const { return mode_; }
    bool IsAdmin() const { return isAdmin_; }

    RadioButton CurrentUserRadio, AllUsersRadio;
    Label AvailabilityGroup, ShortcutsGroup, PromptLabel;
    CheckBox DesktopCheck, StartMenuCheck, QuickLaunchCheck;
    ListBox FilesToRemoveList;
    Button CancelButton, ApplyButton, UninstallButton, HelpButton;
    Timer CloseTimer;

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;
    void OnEscape() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void AttachControls();
    void CreateGlyphsAndHints();
    void ProbeShortcuts();
    void CheckAdministratorRights();
    void SetMode(InstallMode mode);
    void SetUpInstallMode();
    void SetUpChangeMode();
    void SetUpUninstallMode();
    void ShowFilesToRemove();
    // Whether this user may remove the program; may close the dialog at once.
    void PassUninstallGate();
    void OnApplyClicked();
    void OnUninstallClicked();
    void OnCancelClicked();
    void OnHelpClicked();
    void OnCloseTimer();
    void ApplyUserShortcuts();
    // The three Start-menu shortcuts, "Start" for the current user or "StartAll" for everybody.
    void CreateStartMenuShortcuts(const wchar_t* kind);
    void RunRemoval();
    // The uninstaller in a new folder of its own with its log, its process made and held.
    bool PrepareUninstaller(HeldUninstaller& uninstaller);
    void ClosingSteps();
    void CloseDialog();
    void SetGlyphsEnabled(bool enabled);
    void Repaint();
    std::wstring ProgramFolder() const;

    InstallMode mode_;
    InstallEnvironment env_;
    std::wstring installingUser_;
    bool isAdmin_ = false;
    bool allUsersAtOpen_ = false;
    bool activated_ = false;
    bool uninstallStarted_ = false;
    bool closed_ = false;
    bool creating_ = false;
    HFONT bigFont_ = nullptr;
    HWND tooltip_ = nullptr;
};

}  // namespace vt
