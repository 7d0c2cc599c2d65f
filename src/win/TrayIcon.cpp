#include "win/TrayIcon.h"

#include <shellapi.h>

#include <cwchar>

namespace vt {

void TrayIcon::Attach(HWND owner, UINT callbackMessage, std::wstring hint) {
    owner_ = owner;
    callback_ = callbackMessage;
    hint_ = std::move(hint);
}

TrayIcon::~TrayIcon() { Hide(); }

NOTIFYICONDATAW TrayIcon::Data() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callback_;
    data.hIcon = icon_;
    std::wcsncpy(data.szTip, hint_.c_str(), std::size(data.szTip) - 1);
    return data;
}

void TrayIcon::Show() {
    if (visible_ || !owner_) return;
    NOTIFYICONDATAW data = Data();
    visible_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void TrayIcon::Hide() {
    if (!visible_) return;
    NOTIFYICONDATAW data = Data();
    Shell_NotifyIconW(NIM_DELETE, &data);
    visible_ = false;
}

void TrayIcon::SetImage(HICON icon) {
    if (icon == icon_) return;  // asked on every activation of the window
    icon_ = icon;
    if (!visible_) return;
    NOTIFYICONDATAW data = Data();
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::Restore() {
    if (!visible_) return;
    visible_ = false;
    Show();
}

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace vt
