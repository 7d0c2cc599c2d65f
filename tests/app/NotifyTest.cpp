// After a run with failures: the notice it gives, and the balloon the tray icon shows for it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/RunNotice.h"
#include "win/TrayIcon.h"

namespace vt {
namespace {

const std::wstring kOpensLog = L"Il backup \u00e8 terminato con errori. Fare clic qui per aprire il file di log.";

TEST(RunNotice, OnlyARunWithFailuresIsToldOf) {
    const std::wstring log = L"C:\\Dati\\Vaultick.log";
    EXPECT_FALSE(NoticeAfterRun(RunRecord{3}, true, log));

    for (const RunRecord run : {RunRecord{3, true, false}, RunRecord{3, false, true}, RunRecord{3, true, true}}) {
        const auto notice = NoticeAfterRun(run, true, log);
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->title, L"Vaultick - Backup 3");
        EXPECT_EQ(notice->text, kOpensLog);
        EXPECT_EQ(notice->logPath, log);
    }
    for (int slot = 1; slot <= 5; ++slot)
        EXPECT_EQ(NoticeAfterRun(RunRecord{slot, true}, true, log)->title, L"Vaultick - Backup " + std::to_wstring(slot));
}

TEST(RunNotice, WithoutALogTheBalloonOffersNoClick) {
    // The switch off, or a log with no place: the failure is told all the same.
    for (const auto& [enabled, path] : {std::pair{false, std::wstring(L"C:\\Dati\\Vaultick.log")}, std::pair{true, std::wstring()}}) {
        const auto notice = NoticeAfterRun(RunRecord{1, true}, enabled, path);
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->text, L"Il backup \u00e8 terminato con errori.");
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
    void ExpectBalloon(const Call& call) const {
        EXPECT_EQ(call.message, DWORD(NIM_MODIFY));
        EXPECT_EQ(call.data.uFlags, UINT(NIF_INFO));
        EXPECT_EQ(call.data.dwInfoFlags, DWORD(NIIF_WARNING));
        EXPECT_EQ(std::wstring(call.data.szInfoTitle), L"Vaultick - Backup 2");
        EXPECT_EQ(std::wstring(call.data.szInfo), kOpensLog);
        EXPECT_EQ(call.data.hWnd, owner_);
        EXPECT_EQ(call.data.uID, 1u);
        EXPECT_TRUE(call.taken);
    }
    bool Balloon() { return icon_.ShowBalloon(L"Vaultick - Backup 2", kOpensLog); }

    HWND owner_ = nullptr;
    TrayIcon icon_;
    std::vector<Call> calls_;
};

TEST_F(TrayBalloon, AnIconAddedForTheBalloonGoesWithIt) {
    const std::pair<LPARAM, BalloonEvent> endings[] = {{NIN_BALLOONTIMEOUT, BalloonEvent::Closed},
                                                       {NIN_BALLOONUSERCLICK, BalloonEvent::Clicked},
                                                       {NIN_BALLOONHIDE, BalloonEvent::Closed}};
    for (const auto& [event, meaning] : endings) {
        calls_.clear();
        ASSERT_TRUE(Balloon());
        ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
        EXPECT_EQ(calls_[0].data.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(calls_[0].data.uCallbackMessage, UINT(WM_APP + 1));
        EXPECT_EQ(std::wstring(calls_[0].data.szTip), L"Vaultick");
        ExpectBalloon(calls_[1]);
        EXPECT_TRUE(icon_.Visible());

        // The mouse on the icon, and the balloon's own show, end nothing.
        EXPECT_EQ(icon_.TakeBalloonEvent(WM_MOUSEMOVE), BalloonEvent::None);
        EXPECT_EQ(icon_.TakeBalloonEvent(NIN_BALLOONSHOW), BalloonEvent::Shown);
        EXPECT_EQ(icon_.TakeBalloonEvent(event), meaning);
        EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_DELETE}));
        EXPECT_FALSE(icon_.Visible());
    }
}

TEST_F(TrayBalloon, TheUsersIconStaysAfterTheBalloon) {
    icon_.Show();
    ASSERT_TRUE(Balloon());
    ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    ExpectBalloon(calls_[1]);
    EXPECT_EQ(icon_.TakeBalloonEvent(NIN_BALLOONUSERCLICK), BalloonEvent::Clicked);
    icon_.BalloonGone();
    EXPECT_TRUE(icon_.Visible());
    EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(TrayBalloon, TheSwitchTurnedWhileTheBalloonIsOpen) {
    // Turned off: the icon waits for the balloon to go.
    icon_.Show();
    ASSERT_TRUE(Balloon());
    icon_.Hide();
    EXPECT_TRUE(icon_.Visible());
    icon_.BalloonGone();
    EXPECT_FALSE(icon_.Visible());

    // Turned on: the icon added for the balloon stays.
    ASSERT_TRUE(Balloon());
    icon_.Show();
    icon_.BalloonGone();
    EXPECT_TRUE(icon_.Visible());

    // The program ends: gone at once.
    icon_.Hide();
    ASSERT_TRUE(Balloon());
    icon_.Remove();
    EXPECT_FALSE(icon_.Visible());
    EXPECT_EQ(Messages().back(), DWORD(NIM_DELETE));
}

TEST_F(TrayBalloon, ANewBalloonReplacesTheOpenOne) {
    ASSERT_TRUE(Balloon());
    ASSERT_TRUE(icon_.ShowBalloon(L"Vaultick - Backup 5", L"Il backup \u00e8 terminato con errori."));
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY}));
    EXPECT_EQ(std::wstring(calls_[2].data.szInfoTitle), L"Vaultick - Backup 5");
    EXPECT_TRUE(icon_.BalloonOpen());
    icon_.BalloonGone();
    EXPECT_FALSE(icon_.Visible());
}

TEST(TrayIconShell, WineReportsNothingOfItsBalloons) {
    // These tests run under Wine, whose shell never sends the balloon's messages.
    EXPECT_FALSE(TrayIcon::ShellReportsBalloons());
}

}  // namespace
}  // namespace vt
