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

void ChildPage::OnCreate() { EnableThemeDialogTexture(Handle(), ETDT_ENABLETAB); }

void ChildPage::OnCommand(int id, int notifyCode) {
    SendMessageW(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id, notifyCode),
                 reinterpret_cast<LPARAM>(GetDlgItem(Handle(), id)));
}

}  // namespace vt
