#pragma once
// The application's own hidden window: it owns the taskbar button, whose text is the
// application title, and minimises and restores the program as a whole.
#include <windows.h>

#include <functional>
#include <string>

namespace vt {

class Application {
public:
    static Application& Instance();

    // Creates the window with the title; the main form is then created owned by Handle().
    bool Create(const std::wstring& title);
    HWND Handle() const { return hwnd_; }
    void SetMainForm(HWND mainForm) { mainForm_ = mainForm; }
    HWND MainForm() const { return mainForm_; }

    void SetTitle(const std::wstring& title);
    std::wstring Title() const;

    // The main form shows or hides, and the taskbar button with it.
    void ShowMainForm();
    void HideMainForm();
    void Minimize();
    // Minimised to its taskbar button (not hidden without one).
    bool IsMinimized() const;
    void Restore();
    // Shown, restored when minimised, and in front: what the user asks for.
    void BringUp();
    void BringToFront();
    // Called when Explorer has made the taskbar button (again).
    void OnTaskbarButtonCreated(std::function<void()> handler) { onTaskbarButton_ = std::move(handler); }

private:
    Application() = default;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    HWND mainForm_ = nullptr;
    std::function<void()> onTaskbarButton_;
};

}  // namespace vt
