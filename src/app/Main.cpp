// Entry of the main program: the main window and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/FormVaultick.h"
#include "win/NotifyUser.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    vt::TFormVaultick mainForm;
    if (!mainForm.CreateModeless(nullptr)) return 1;
    vt::SetApplicationWindow(mainForm.Handle());
    ShowWindow(mainForm.Handle(), showCommand);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (vt::Form::PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
