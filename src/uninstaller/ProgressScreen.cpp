#include "uninstaller/ProgressScreen.h"

namespace vt::sweepex {

namespace {

constexpr int kWidth = 375;
constexpr int kHeight = 85;

LRESULT CALLBACK ProgressProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_CTLCOLORSTATIC) {
        // The text sits on the window's own menu-coloured background, not on a grey patch.
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_MENU));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

bool RegisterProgressClass(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ProgressProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = kProgressClassName;
    return RegisterClassW(&windowClass) != 0;
}

}  // namespace

ProgressScreen::ProgressScreen(const std::wstring& productName) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterProgressClass(instance)) return;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    // A caption with a dialog frame and no system menu: nothing to click while it works.
    window_ = CreateWindowExW(0, kProgressClassName, (productName + L" - Disinstallazione").c_str(),
                              WS_POPUP | WS_CAPTION, left, top, kWidth, kHeight, nullptr, nullptr,
                              instance, nullptr);
    if (!window_) return;
    HWND text = CreateWindowExW(0, L"STATIC", L" Attendere. Controllo dei file da rimuovere in corso....",
                                WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 18, 345, 20, window_, nullptr,
                                instance, nullptr);
    if (text) SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ShowWindow(window_, SW_SHOWNORMAL);
    // Drawn once: the program runs no message loop while it works.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

ProgressScreen::~ProgressScreen() {
    if (window_) DestroyWindow(window_);
}

void ProgressScreen::HideProgress() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

int ProgressScreen::ShowBox(const MessageBoxRequest& request) {
    return MessageBoxW(request.owner, request.text.c_str(), request.caption.c_str(), request.flags);
}

}  // namespace vt::sweepex
