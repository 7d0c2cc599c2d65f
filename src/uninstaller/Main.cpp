// Sweepex: the small uninstaller started by the main program. It deletes what the uninstall
// log lists, or restarts the main program after it has written its manifest.
#include <windows.h>

#include "uninstaller/CommandLine.h"
#include "uninstaller/LaunchProgram.h"
#include "uninstaller/ProgressScreen.h"
#include "uninstaller/UninstallRun.h"
#include "uninstaller/WaitTicks.h"
#include "win/Paths.h"
#include "win/SafeLoading.h"

namespace {

// Long enough for the program that started us to end and release its files.
constexpr int kWaitTicks = 5;

void Uninstall(const std::wstring& productName) {
    using namespace vt::sweepex;
    ProgressScreen screen(productName);
    const std::wstring ownFolder = vt::ExcludeTrailingBackslash(vt::FolderOf(vt::ModuleFileName()));
    UninstallRun run(ownFolder, productName, screen);
    run.Run([] { WaitTicks(kWaitTicks); });
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    vt::LoadLibrariesFromSystemOnly();
    using namespace vt::sweepex;
    try {
        const Command command = ParseCommand(CommandArguments(GetCommandLineW()));
        switch (command.mode) {
            case Mode::LaunchFile:
                WaitTicks(kWaitTicks);
                LaunchProgram(vt::ExcludeTrailingBackslash(vt::FolderOf(vt::ModuleFileName())),
                              command.argument);
                break;
            case Mode::Uninstall:
                Uninstall(command.argument);
                break;
            case Mode::None:
                break;
        }
    } catch (...) {
        // Nothing left to tell the user that the run has not told already.
    }
    return 0;
}
