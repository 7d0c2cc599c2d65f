#include "win/ChildPage.h"

#include <commctrl.h>
#include <uxtheme.h>

namespace vt {

bool ChildPage::Create(HWND parent, HWND tabControl) {
    if (!CreateModeless(parent)) return false;
    RECT area;
    GetWindowRect(tabControl, &area);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tabControl, FALSE, &area);
    SetWindowPos(Handle(), HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_SHOWWINDOW);
    return true;
}

void ChildPage::OnCreate() {
    // Looked up in the system folder only: linked by name, the library would be searched for in
    // the program's folder first, before anything in the program runs.
    using EnableTexture = HRESULT(WINAPI*)(HWND, DWORD);
    static const auto enable = [] {
        HMODULE theme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return theme ? reinterpret_cast<EnableTexture>(GetProcAddress(theme, "EnableThemeDialogTexture")) : nullptr;
    }();
    if (enable) enable(Handle(), ETDT_ENABLETAB);
}

void ChildPage::OnCommand(int id, int notifyCode) {
    SendMessageW(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id, notifyCode),
                 reinterpret_cast<LPARAM>(GetDlgItem(Handle(), id)));
}

}  // namespace vt
