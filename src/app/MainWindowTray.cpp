// The main window's answers to the tray menu.
#include "app/MainWindow.h"

#include "win/NotifyUser.h"

namespace vt {

void MainWindow::OnTrayCommand(TrayMenuCommand command) {
    switch (command) {
        case TrayMenuCommand::OpenWindow: OnOpenWindowChosen(); break;
        case TrayMenuCommand::SetUpJobs: OnSetUpJobsChosen(); break;
        case TrayMenuCommand::ToggleProgram: OnToggleProgramChosen(); break;
        case TrayMenuCommand::CloseProgram: OnCloseProgramChosen(); break;
    }
}

void MainWindow::OnOpenWindowChosen() {
    OnJobEnabledClicked();
    BringUpForUser();
}

void MainWindow::OnSetUpJobsChosen() {
    OnJobEnabledClicked();
    OnOpenWindowChosen();
    OnSetUpClicked();
}

void MainWindow::OnToggleProgramChosen() {
    programOnBox_.SetChecked(!programOnBox_.Checked());
    OnProgramOnClicked();
    UpdateActivationDisplay();
}

void MainWindow::OnCloseProgramChosen() {
    if (programOnBox_.Checked() && scheduler_.Snapshot().AnyEnabled()) {
        OnOpenWindowChosen();
        if (AskYesNo(L"ATTENZIONE!\rChiudendo il programma i backup non verranno effettuati.\rContinuare ugualmente?") !=
            YesNo::Yes)
            return;
    }
    CloseWindow();
    DestroyWindow(Handle());
}

}  // namespace vt
