#include "win/Application.h"

#include "win/ProgramIcon.h"

namespace vt {

namespace {
constexpr wchar_t kClassName[] = L"VaultickApplication";

UINT TaskbarButtonCreated() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}
}  // namespace

Application& Application::Instance() {
    static Application application;
    return application;
}

bool Application::Create(const std::wstring& title) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = &Application::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(IDI_VAULTICK));
    wc.hIconSm = wc.hIcon;
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    // A zero-sized window in the middle of the screen: visible to the taskbar, not to the eye.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    hwnd_ = CreateWindowExW(0, kClassName, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                            x, y, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    // Run as administrator, the program hears from Explorer only what it lets through.
    if (hwnd_) ChangeWindowMessageFilterEx(hwnd_, TaskbarButtonCreated(), MSGFLT_ALLOW, nullptr);
    return hwnd_ != nullptr;
}

void Application::SetTitle(const std::wstring& title) { SetWindowTextW(hwnd_, title.c_str()); }

std::wstring Application::Title() const {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd_, text, 256);
    return text;
}

void Application::ShowMainForm() {
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    else ShowWindow(hwnd_, SW_SHOWNA);
    if (mainForm_) ShowWindow(mainForm_, SW_SHOW);
}

void Application::HideMainForm() {
    if (mainForm_) ShowWindow(mainForm_, SW_HIDE);
    ShowWindow(hwnd_, SW_HIDE);
}

void Application::Minimize() {
    if (mainForm_) ShowWindow(mainForm_, SW_HIDE);
    ShowWindow(hwnd_, SW_MINIMIZE);
}

bool Application::IsMinimized() const { return IsWindowVisible(hwnd_) && IsIconic(hwnd_); }

void Application::Restore() {
    if (!IsIconic(hwnd_)) return;
    ShowWindow(hwnd_, SW_RESTORE);
    if (mainForm_) ShowWindow(mainForm_, SW_SHOW);
}

void Application::BringUp() {
    ShowMainForm();
    BringToFront();
}


void Application::BringToFront() {
    if (!mainForm_) return;
    SetForegroundWindow(mainForm_);
    SetActiveWindow(mainForm_);
}

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Application& app = Instance();
    if (msg == TaskbarButtonCreated() && msg != 0) {
        if (app.onTaskbarButton_) app.onTaskbarButton_();
        return 0;
    }
    switch (msg) {
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MINIMIZE: app.Minimize(); return 0;
                case SC_RESTORE: app.Restore(); return 0;
                case SC_CLOSE:
                    if (app.mainForm_) PostMessageW(app.mainForm_, WM_SYSCOMMAND, SC_CLOSE, 0);
                    return 0;
                default: break;
            }
            break;
        case WM_ACTIVATE:
            // Clicking the taskbar button activates us; the main form is what the user wants.
            if (LOWORD(wParam) != WA_INACTIVE && app.mainForm_ && IsWindowVisible(app.mainForm_)) {
                SetActiveWindow(app.mainForm_);
                return 0;
            }
            break;
        case WM_CLOSE:
            return 0;
        default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace vt
