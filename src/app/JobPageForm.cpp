#include "app/JobPageForm.h"

namespace vt {

void JobPageForm::ShowLastRun(const std::wstring& text, bool failed) {
    lastRunFailed_ = failed;
    const HWND line = Item(lastRunLineId_);
    SetWindowTextW(line, text.c_str());
    // Drawn without a background of its own, the line needs the page behind it repainted.
    RECT area;
    GetWindowRect(line, &area);
    MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(Handle(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

INT_PTR JobPageForm::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    if (msg != WM_CTLCOLORSTATIC || !lastRunFailed_ || reinterpret_cast<HWND>(lParam) != Item(lastRunLineId_))
        return 0;
    // Transparent, so the tab page's own background shows behind the red text.
    const HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, kLastRunFailedColour);
    SetBkMode(dc, TRANSPARENT);
    handled = true;
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

}  // namespace vt
