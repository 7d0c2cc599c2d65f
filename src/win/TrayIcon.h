#pragma once
// An icon in the notification area: hint, image, balloon, and mouse events sent to its owner
// window.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>

namespace vt {

// Sees every request made to the notification area and whether the shell took it; the
// request itself goes to the shell all the same. An empty function stops watching.
using TrayCallObserver = std::function<void(DWORD message, const NOTIFYICONDATAW& data, bool taken)>;
void SetTrayCallObserver(TrayCallObserver observer);

// How long a balloon lasts where the shell does not report its end: Wine shows it two seconds
// after the request, for ten seconds.
inline constexpr UINT kUnreportedBalloonMs = 15000;

// What a callback message tells of the balloon.
enum class BalloonEvent { None, Shown, Clicked, Closed };

class TrayIcon {
public:
    // The owner receives `callbackMessage` with the mouse message, or the balloon's, in lParam.
    void Attach(HWND owner, UINT callbackMessage, std::wstring hint);
    ~TrayIcon();

    // The user's switch. Hidden while a balloon is open, the icon goes when the balloon goes.
    void Show();
    void Hide();
    // Gone at once, balloon and all: the program ends.
    void Remove();
    bool Visible() const { return visible_; }
    void SetImage(HICON icon);

    // A balloon with the warning icon; an icon that is not in the tray is added for it. False
    // when the shell did not take it. While a balloon is open the newer one waits, and is shown
    // when the open one goes, on the same icon; a third replaces the one waiting.
    bool ShowBalloon(const std::wstring& title, const std::wstring& text);
    bool BalloonOpen() const { return balloonOpen_; }
    // Reads the lParam of a callback message; a balloon clicked or closed lets go of the icon,
    // or shows the balloon waiting behind it.
    BalloonEvent TakeBalloonEvent(LPARAM event);
    // The balloon is over though the shell did not say so.
    void BalloonGone();
    // False where the shell shows a balloon for a time of its own and tells the owner nothing
    // of it (Wine): the owner then ends the balloon by its own clock.
    static bool ShellReportsBalloons();

    // Explorer restarted ("TaskbarCreated"): the icon must be added again.
    void Restore();
    static UINT TaskbarCreatedMessage();

private:
    struct Balloon {
        std::wstring title, text;
    };
    NOTIFYICONDATAW Data() const;
    void Add();
    void Delete();

    HWND owner_ = nullptr;
    UINT callback_ = 0;
    std::wstring hint_;
    HICON icon_ = nullptr;
    bool visible_ = false;
    bool wanted_ = false;
    bool balloonOpen_ = false;
    std::optional<Balloon> waiting_;
};

}  // namespace vt
