// After a run with failures: the notice it gives, and the balloon the tray icon shows for it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/RunNotice.h"
#include "win/TrayIcon.h"

namespace vt {
namespace {

const std::wstring kFailed = L"Il backup \u00e8 terminato con errori.";
const std::wstring kOpensLog = kFailed + L" Fare clic qui per aprire il file di log.";

TEST(RunNotice, OnlyARunWithFailuresIsToldOfAndOnlyAWrittenLogIsOffered) {
    const std::wstring log = L"C:\\Dati\\Vaultick.log";
    EXPECT_FALSE(NoticeAfterRun(RunRecord{3}, true, log));
    for (const RunRecord run : {RunRecord{3, true, false}, RunRecord{3, false, true}}) {
        const auto notice = NoticeAfterRun(run, true, log);
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->title, L"Vaultick - Backup 3");
        EXPECT_EQ(notice->text, kOpensLog);
        EXPECT_EQ(notice->logPath, log);
    }
    // The switch off, or a log with no place: the failure is told all the same, with no click.
    for (const auto& [enabled, path] : {std::pair{false, log}, std::pair{true, std::wstring()}}) {
        const auto notice = NoticeAfterRun(RunRecord{5, true}, enabled, path);
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->title, L"Vaultick - Backup 5");
        EXPECT_EQ(notice->text, kFailed);
        EXPECT_TRUE(notice->logPath.empty());
    }
}

// A hidden window of its own owns the icon; every request to the tray is recorded as made.
class TrayBalloon : public ::testing::Test {
protected:
    struct Call {
        DWORD message;
        NOTIFYICONDATAW data;
        bool taken;
    };

    TrayBalloon() {
        owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        icon_.Attach(owner_, WM_APP + 1, L"Vaultick");
        icon_.SetImage(LoadIconW(nullptr, IDI_WARNING));
        SetTrayCallObserver([this](DWORD message, const NOTIFYICONDATAW& data, bool taken) {
            calls_.push_back({message, data, taken});
        });
    }
    ~TrayBalloon() override {
        icon_.Remove();
        SetTrayCallObserver(nullptr);
        DestroyWindow(owner_);
    }

    std::vector<DWORD> Messages() const {
        std::vector<DWORD> messages;
        for (const Call& call : calls_) messages.push_back(call.message);
        return messages;
    }
    void Balloon() {
        calls_.clear();
        ASSERT_TRUE(icon_.ShowBalloon(L"Vaultick - Backup 2", kOpensLog));
        const Call& call = calls_.back();
        EXPECT_EQ(call.message, DWORD(NIM_MODIFY));
        EXPECT_EQ(call.data.uFlags, UINT(NIF_INFO));
        // A warning that waits while Windows keeps notifications quiet.
        EXPECT_EQ(call.data.dwInfoFlags, DWORD(NIIF_WARNING | NIIF_RESPECT_QUIET_TIME));
        EXPECT_EQ(std::wstring(call.data.szInfoTitle), L"Vaultick - Backup 2");
        EXPECT_EQ(std::wstring(call.data.szInfo), kOpensLog);
        EXPECT_EQ(call.data.hWnd, owner_);
        EXPECT_TRUE(call.taken);
    }

    HWND owner_ = nullptr;
    TrayIcon icon_;
    std::vector<Call> calls_;
};

TEST_F(TrayBalloon, AnIconAddedForTheBalloonGoesWithIt) {
    const std::pair<LPARAM, BalloonEvent> endings[] = {{NIN_BALLOONTIMEOUT, BalloonEvent::Closed},
                                                       {NIN_BALLOONUSERCLICK, BalloonEvent::Clicked},
                                                       {NIN_BALLOONHIDE, BalloonEvent::Closed}};
    for (const auto& [event, meaning] : endings) {
        Balloon();
        ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
        EXPECT_EQ(calls_[0].data.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(calls_[0].data.uCallbackMessage, UINT(WM_APP + 1));
        EXPECT_EQ(std::wstring(calls_[0].data.szTip), L"Vaultick");
        EXPECT_TRUE(icon_.Visible());
        // The mouse on the icon, and the balloon's own show, end nothing.
        EXPECT_EQ(icon_.TakeBalloonEvent(WM_MOUSEMOVE), BalloonEvent::None);
        EXPECT_EQ(icon_.TakeBalloonEvent(NIN_BALLOONSHOW), BalloonEvent::Shown);
        EXPECT_EQ(icon_.TakeBalloonEvent(event), meaning);
        EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_DELETE}));
        EXPECT_FALSE(icon_.Visible());
    }
}

TEST_F(TrayBalloon, TheUsersSwitchDecidesWhatStaysAfterTheBalloon) {
    // On: only the balloon is added, and the icon stays after it.
    icon_.Show();
    Balloon();
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_MODIFY});
    EXPECT_EQ(icon_.TakeBalloonEvent(NIN_BALLOONUSERCLICK), BalloonEvent::Clicked);
    EXPECT_TRUE(icon_.Visible());

    // Turned off while the balloon is open: the icon waits for the balloon to go.
    Balloon();
    icon_.Hide();
    EXPECT_TRUE(icon_.Visible());
    icon_.BalloonGone();
    EXPECT_FALSE(icon_.Visible());

    // Turned on while a balloon holds the icon: it stays.
    Balloon();
    icon_.Show();
    icon_.BalloonGone();
    EXPECT_TRUE(icon_.Visible());

    // The program ends: gone at once, balloon and all.
    icon_.Hide();
    Balloon();
    icon_.Remove();
    EXPECT_FALSE(icon_.Visible());
    EXPECT_EQ(Messages().back(), DWORD(NIM_DELETE));
}

TEST_F(TrayBalloon, ABalloonAskedForWhileOneIsOpenWaitsAndKeepsTheIcon) {
    Balloon();
    ASSERT_TRUE(icon_.ShowBalloon(L"Vaultick - Backup 3", kFailed));
    ASSERT_TRUE(icon_.ShowBalloon(L"Vaultick - Backup 4", kFailed));  // the newest one waits
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    for (const LPARAM event : {LPARAM(NIN_BALLOONUSERCLICK), LPARAM(NIN_BALLOONTIMEOUT)}) {
        calls_.clear();
        icon_.TakeBalloonEvent(event);
        if (event == NIN_BALLOONUSERCLICK) {
            // The first one's end shows the waiting one on the same icon.
            ASSERT_EQ(Messages(), std::vector<DWORD>{NIM_MODIFY});
            EXPECT_EQ(std::wstring(calls_[0].data.szInfoTitle), L"Vaultick - Backup 4");
            EXPECT_TRUE(icon_.BalloonOpen());
            EXPECT_TRUE(icon_.Visible());
        } else {
            EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_DELETE});
            EXPECT_FALSE(icon_.Visible());
        }
    }
    // Ended by the program's own clock, and the program ending, alike.
    Balloon();
    icon_.ShowBalloon(L"Vaultick - Backup 5", kFailed);
    icon_.BalloonGone();
    EXPECT_TRUE(icon_.BalloonOpen());
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY}));
    icon_.ShowBalloon(L"Vaultick - Backup 1", kFailed);
    icon_.Remove();
    icon_.BalloonGone();
    EXPECT_FALSE(icon_.Visible());
    EXPECT_EQ(Messages().back(), DWORD(NIM_DELETE));
}

}  // namespace
}  // namespace vt
