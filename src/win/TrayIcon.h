#pragma once
// An icon in the notification area: hint, image, and mouse events sent to its owner window.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace vt {

class TrayIcon {
public:
    // The owner receives `callbackMessage` with the mouse message in lParam.
    void Attach(HWND owner, UINT callbackMessage, std::wstring hint);
    ~TrayIcon();

    void Show();
    void Hide();
    bool Visible() const { return visible_; }
    void SetImage(HICON icon);
    // Explorer restarted ("TaskbarCreated"): the icon must be added again.
    void Restore();
    static UINT TaskbarCreatedMessage();

private:
    NOTIFYICONDATAW Data() const;

    HWND owner_ = nullptr;
    UINT callback_ = 0;
    std::wstring hint_;
    HICON icon_ = nullptr;
    bool visible_ = false;
};

}  // namespace vt
