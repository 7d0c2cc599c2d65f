#include "win/TrayIcon.h"

#include <shellapi.h>

#include <cwchar>
#include <utility>

namespace vt {

namespace {

TrayCallObserver& Observer() {
    static TrayCallObserver observer;
    return observer;
}

bool Notify(DWORD message, NOTIFYICONDATAW& data) {
    const bool taken = Shell_NotifyIconW(message, &data) != FALSE;
    if (Observer()) Observer()(message, data, taken);
    return taken;
}

template <size_t N>
void CopyText(wchar_t (&to)[N], const std::wstring& text) {
    std::wcsncpy(to, text.c_str(), N - 1);
    to[N - 1] = L'\0';
}

// Asked of Wine's shell (which gives at least this); Windows 7 and later decide alone.
constexpr UINT kBalloonMs = 10000;

}  // namespace

void SetTrayCallObserver(TrayCallObserver observer) { Observer() = std::move(observer); }

void TrayIcon::Attach(HWND owner, UINT callbackMessage, std::wstring hint) {
    owner_ = owner;
    callback_ = callbackMessage;
    hint_ = std::move(hint);
}

TrayIcon::~TrayIcon() { Remove(); }

NOTIFYICONDATAW TrayIcon::Data() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callback_;
    data.hIcon = icon_;
    CopyText(data.szTip, hint_);
    return data;
}

void TrayIcon::Add() {
    if (visible_ || !owner_) return;
    NOTIFYICONDATAW data = Data();
    visible_ = Notify(NIM_ADD, data);
}

void TrayIcon::Delete() {
    if (!visible_) return;
    NOTIFYICONDATAW data = Data();
    Notify(NIM_DELETE, data);
    visible_ = false;
}

void TrayIcon::Show() {
    wanted_ = true;
    Add();
}

void TrayIcon::Hide() {
    wanted_ = false;
    if (!balloonOpen_) Delete();
}

void TrayIcon::Remove() {
    wanted_ = false;
    balloonOpen_ = false;
    waiting_.reset();
    Delete();
}

void TrayIcon::SetImage(HICON icon) {
    if (icon == icon_) return;  // asked on every activation of the window
    icon_ = icon;
    if (!visible_) return;
    NOTIFYICONDATAW data = Data();
    Notify(NIM_MODIFY, data);
}

bool TrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text) {
    // A second request would replace the open balloon before the user could read it.
    if (balloonOpen_) {
        waiting_ = Balloon{title, text};
        return true;
    }
    Add();
    if (!visible_) return false;
    NOTIFYICONDATAW data = Data();
    data.uFlags = NIF_INFO;
    CopyText(data.szInfoTitle, title);
    CopyText(data.szInfo, text);
    // Under quiet time the balloon waits; the job page keeps the result in any case.
    data.dwInfoFlags = NIIF_WARNING | NIIF_RESPECT_QUIET_TIME;
    data.uTimeout = kBalloonMs;
    balloonOpen_ = Notify(NIM_MODIFY, data);
    // A shell older than the flag may refuse it: the balloon is shown without it then.
    if (!balloonOpen_) {
        data.dwInfoFlags = NIIF_WARNING;
        balloonOpen_ = Notify(NIM_MODIFY, data);
    }
    if (!balloonOpen_ && !wanted_) Delete();
    return balloonOpen_;
}

BalloonEvent TrayIcon::TakeBalloonEvent(LPARAM event) {
    switch (event) {
        case NIN_BALLOONSHOW: return BalloonEvent::Shown;
        case NIN_BALLOONUSERCLICK: BalloonGone(); return BalloonEvent::Clicked;
        case NIN_BALLOONTIMEOUT:
        case NIN_BALLOONHIDE: BalloonGone(); return BalloonEvent::Closed;
        default: return BalloonEvent::None;
    }
}

void TrayIcon::BalloonGone() {
    balloonOpen_ = false;
    // The icon stays for the balloon waiting; ShowBalloon takes it away if the shell refuses.
    if (const std::optional<Balloon> next = std::exchange(waiting_, std::nullopt)) {
        ShowBalloon(next->title, next->text);
        return;
    }
    if (!wanted_) Delete();
}

bool TrayIcon::ShellReportsBalloons() {
    static const bool reports = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
    return reports;
}

void TrayIcon::Restore() {
    if (!visible_) return;
    visible_ = false;
    // The balloon went with the old tray; an icon that only carried it is not wanted back.
    balloonOpen_ = false;
    if (wanted_) Add();
    if (const std::optional<Balloon> next = std::exchange(waiting_, std::nullopt)) ShowBalloon(next->title, next->text);
}

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace vt
