#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "help/HelpFile.h"
#include "help/HelpViewer.h"
#include "help/HelpViewerIds.h"
#include "support/TempFolder.h"
#include "win/Help.h"
#include "win/MessagePump.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"

namespace vt {
namespace {

std::wstring ShippedFile() { return FolderOf(ModuleFileName()) + L"\\DorviVaultick.Hlp"; }

std::wstring ItemText(HWND window, int id) {
    HWND item = GetDlgItem(window, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool WaitFor(const std::function<bool()>& condition, double seconds = 5) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    while (!condition()) {
        if (GetTickCount64() > deadline) return false;
        ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

// Every test starts without a viewer and answers any message box itself.
class HelpViewer : public testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxSeam([this](const MessageBoxRequest& request) {
            boxes.push_back(request);
            return IDOK;
        });
    }
    void TearDown() override {
        CloseHelpViewer();
        SetMessageBoxSeam(nullptr);
    }
    HelpTopic Shipped(const std::wstring& keyword) {
        const HelpTopics topics = ParseHelpFile(ReadHelpFile(ShippedFile()).value_or(""));
        const HelpTopic* topic = FindTopic(topics, keyword);
        return topic ? *topic : HelpTopic{};
    }
    std::vector<MessageBoxRequest> boxes;
};

TEST_F(HelpViewer, ShowsTheRequestedTopicInOneReusedWindow) {
    InstallHelpViewer(ShippedFile());
    RequestHelp(L"ImpostaBackups");
    HWND viewer = HelpViewerWindow();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(IsWindowVisible(viewer));
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), Shipped(L"ImpostaBackups").title);
    EXPECT_EQ(ItemText(viewer, IDE_HELP_TEXT), Shipped(L"ImpostaBackups").text);

    RequestHelp(L"DestinazioneFTP");
    EXPECT_EQ(HelpViewerWindow(), viewer);
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), Shipped(L"DestinazioneFTP").title);

    // An unknown keyword falls back on the main topic.
    RequestHelp(L"NessunArgomento");
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), Shipped(L"Principale").title);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HelpViewer, EscAndCloseButtonCloseItAndTheNextRequestOpensItAgain) {
    InstallHelpViewer(ShippedFile());
    RequestHelp(L"Principale");
    HWND viewer = HelpViewerWindow();
    ASSERT_TRUE(viewer);
    PostMessageW(GetDlgItem(viewer, IDE_HELP_TEXT), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([] { return HelpViewerWindow() == nullptr; }));
    EXPECT_FALSE(IsWindow(viewer));

    // Inside another window's modal loop no dialog keys are translated for the viewer.
    RequestHelp(L"Installazione");
    viewer = HelpViewerWindow();
    ASSERT_TRUE(viewer);
    SendMessageW(GetDlgItem(viewer, IDE_HELP_TEXT), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([] { return HelpViewerWindow() == nullptr; }));

    RequestHelp(L"SelezionaFile");
    viewer = HelpViewerWindow();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), Shipped(L"SelezionaFile").title);
    SendMessageW(GetDlgItem(viewer, IDB_HELP_CLOSE), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([] { return HelpViewerWindow() == nullptr; }));
}

TEST_F(HelpViewer, MissingOrUnusableFileGivesACalmMessage) {
    test::TempFolder temp;
    InstallHelpViewer(temp / L"DorviVaultick.Hlp");
    RequestHelp(L"Principale");
    ASSERT_TRUE(test::WriteBytes(temp / L"DorviVaultick.Hlp", std::string("\x01\x02\xFF garbage", 11)));
    RequestHelp(L"Installazione");
    // A file without the main topic cannot stand in for an unknown keyword either.
    ASSERT_TRUE(test::WriteBytes(temp / L"DorviVaultick.Hlp", "[Altro]\nAltro\ntesto\n"));
    RequestHelp(L"Installazione");
    ASSERT_EQ(boxes.size(), 3u);
    for (const MessageBoxRequest& box : boxes) {
        EXPECT_EQ(box.text, L"La guida non è disponibile.");
        EXPECT_EQ(box.caption, L"Informazione");
    }
    EXPECT_EQ(HelpViewerWindow(), nullptr);

    // The file read at each request: once it is there, help works.
    ASSERT_TRUE(test::WriteBytes(temp / L"DorviVaultick.Hlp", "[Installazione]\nInstallare\ntesto\n"));
    RequestHelp(L"Installazione");
    ASSERT_TRUE(HelpViewerWindow());
    EXPECT_EQ(ItemText(HelpViewerWindow(), IDT_HELP_TITLE), L"Installare");
}

TEST_F(HelpViewer, AfterClosingRequestsDoNothing) {
    InstallHelpViewer(ShippedFile());
    RequestHelp(L"Principale");
    HWND viewer = HelpViewerWindow();
    ASSERT_TRUE(viewer);
    CloseHelpViewer();
    EXPECT_FALSE(IsWindow(viewer));
    RequestHelp(L"Principale");
    EXPECT_EQ(HelpViewerWindow(), nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HelpViewer, AStartForTheHelpAloneWithoutAFileEndsAfterTheMessage) {
    test::TempFolder temp;
    ShowHelpAlone(temp / L"DorviVaultick.Hlp");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"La guida non è disponibile.");
    EXPECT_EQ(HelpViewerWindow(), nullptr);
}

}  // namespace
}  // namespace vt
