// Entry of the main program: the application window, the main window, the engine, and the
// message loop.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/MainWindow.h"
#include "engine/BackupEngine.h"
#include "help/HelpViewer.h"
#include "install/Shortcuts.h"
#include "settings/FileListFile.h"
#include "win/Application.h"
#include "win/MessagePump.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/SafeLoading.h"

namespace {

std::wstring FirstArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring first = arguments && count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    return first;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    vt::LoadLibrariesFromSystemOnly();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // The help shortcut: the help and nothing else, not even the checks of a normal start.
    if (FirstArgument() == vt::kHelpArgument) {
        vt::ShowHelpAlone(vt::FolderOf(vt::ModuleFileName()) + L"\\DorviVaultick.Hlp");
        return 0;
    }

    vt::Application& app = vt::Application::Instance();
    if (!app.Create(L"Vaultick")) return 1;
    vt::SetApplicationWindow(app.Handle());

    vt::StartUpContext context;
    context.programFolder = vt::FolderOf(vt::ModuleFileName());
    context.dataFolder = vt::DataFolder();
    context.firstArgument = FirstArgument();

    vt::MainWindow mainWindow(context, app);
    vt::BackupEngine engine(mainWindow, context.dataFolder);
    mainWindow.SetEngine(&engine);
    if (!mainWindow.CreateModeless(app.Handle()) || mainWindow.TerminateRequested()) return 0;
    if (mainWindow.ShowAtStart()) {
        app.BringUp();
    }

    // A removal asked for by a second copy while start-up ran its jobs.
    mainWindow.TakePendingRemoval();
    return vt::RunMessageLoop([&mainWindow] { mainWindow.TakePendingRemoval(); });
}
