#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

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
#include "win/Text.h"

namespace vt {
namespace {

std::wstring ShippedFile() { return FolderOf(ModuleFileName()) + L"\\DorviVaultick.Hlp"; }

std::wstring ItemText(HWND window, int id) {
    HWND item = GetDlgItem(window, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool WaitFor(const std::function<bool()>& condition, double seconds = 60) {
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

std::vector<std::wstring> ListItems(HWND list) {
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

int SelectedItem(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

// A press and release of the left button at a point of a control, as the mouse gives them.
void ClickAt(HWND control, POINT point) {
    const LPARAM where = MAKELPARAM(point.x, point.y);
    SendMessageW(control, WM_MOUSEMOVE, 0, where);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(control, WM_LBUTTONUP, 0, where);
}

void ClickListItem(HWND list, int index) {
    RECT item{};
    ASSERT_NE(SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)), LB_ERR);
    ClickAt(list, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

// The point in the middle of a link's first character, counted as the rich edit counts.
POINT LinkPoint(HWND text, const HelpTopic& topic, const HelpLink& link) {
    LONG position = static_cast<LONG>(link.start);
    for (size_t i = 0; i + 1 < link.start; ++i)
        if (topic.text[i] == L'\r' && topic.text[i + 1] == L'\n') --position;
    POINTL corner{};
    SendMessageW(text, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&corner), position + 1);
    return {corner.x, corner.y + 4};
}

std::wstring TextRange(HWND text, LONG from, LONG to) {
    std::wstring buffer(static_cast<size_t>(to - from) + 1, L'\0');
    TEXTRANGEW range{{from, to}, buffer.data()};
    buffer.resize(static_cast<size_t>(SendMessageW(text, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
    return buffer;
}

TEST_F(HelpViewer, ListsEveryTopicWithTheAskedOneSelectedAndShowsTheOneClicked) {
    const HelpTopics topics = ParseHelpFile(ReadHelpFile(ShippedFile()).value_or(""));
    ASSERT_GE(topics.size(), 10u);
    std::vector<std::wstring> titles;
    for (const HelpTopic& topic : topics) titles.push_back(topic.title);

    InstallHelpViewer(ShippedFile());
    RequestHelp(L"DestinazioneFTP");
    HWND viewer = HelpViewerWindow();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, IDL_HELP_TOPICS);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(ListItems(list), titles);
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TOPICS), L"Argomenti");
    ASSERT_GE(SelectedItem(list), 0);
    EXPECT_EQ(topics[static_cast<size_t>(SelectedItem(list))].keyword, L"DestinazioneFTP");

    // A click on the last title, the thanks, shows that topic.
    const int last = static_cast<int>(topics.size()) - 1;
    ClickListItem(list, last);
    EXPECT_EQ(SelectedItem(list), last);
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), topics.back().title);
    EXPECT_EQ(ItemText(viewer, IDE_HELP_TEXT), topics.back().text);

    // The next request from a window selects its own topic again.
    RequestHelp(L"Principale");
    EXPECT_EQ(SelectedItem(list), 0);
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), Shipped(L"Principale").title);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HelpViewer, LinksLeadToTheirTopicAndBackReturns) {
    test::TempFolder temp;
    ASSERT_TRUE(test::WriteBytes(temp / L"DorviVaultick.Hlp",
                                 "[Principale]\nInizio\nPrima riga.\n\nLeggere {le copie|Copie} oppure {il server|Ftp}.\n"
                                 "[Copie]\nLe copie\nTorna {all'inizio|Principale}.\n"
                                 "[Ftp]\nIl server\nNessun collegamento qui.\n"));
    InstallHelpViewer(temp / L"DorviVaultick.Hlp");
    RequestHelp(L"Principale");
    HWND viewer = HelpViewerWindow();
    ASSERT_TRUE(viewer);
    HWND text = GetDlgItem(viewer, IDE_HELP_TEXT);
    HWND back = GetDlgItem(viewer, IDB_HELP_BACK);
    HWND list = GetDlgItem(viewer, IDL_HELP_TOPICS);
    EXPECT_EQ(ItemText(viewer, IDE_HELP_TEXT), L"Prima riga.\r\n\r\nLeggere le copie oppure il server.");
    EXPECT_EQ(ItemText(viewer, IDB_HELP_BACK), L"&Indietro");
    EXPECT_FALSE(IsWindowEnabled(back));

    // The link's words are marked as a link in the text, where the file put them.
    const HelpTopics topics = ParseHelpFile(test::ReadBytes(temp / L"DorviVaultick.Hlp"));
    const HelpTopic& first = topics[0];
    ASSERT_EQ(first.links.size(), 2u);
    const LONG linkStart = static_cast<LONG>(first.links[1].start) - 2;  // each CR LF counted as one
    EXPECT_EQ(TextRange(text, linkStart, linkStart + 9), L"il server");
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    CHARRANGE inside{linkStart + 1, linkStart + 3};
    SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&inside));
    SendMessageW(text, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwEffects & CFE_LINK);
    CHARRANGE plain{2, 4};
    SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&plain));
    SendMessageW(text, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_FALSE(format.dwEffects & CFE_LINK);

    // A click on "il server" shows its topic once the click is over.
    ClickAt(text, LinkPoint(text, first, first.links[1]));
    EXPECT_TRUE(WaitFor([&] { return ItemText(viewer, IDT_HELP_TITLE) == L"Il server"; }));
    EXPECT_EQ(ItemText(viewer, IDE_HELP_TEXT), L"Nessun collegamento qui.");
    EXPECT_EQ(SelectedItem(list), 2);
    EXPECT_TRUE(IsWindowEnabled(back));

    // From the list to "Le copie", then its link back to the start.
    ClickListItem(list, 1);
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), L"Le copie");
    ClickAt(text, LinkPoint(text, topics[1], topics[1].links[0]));
    EXPECT_TRUE(WaitFor([&] { return ItemText(viewer, IDT_HELP_TITLE) == L"Inizio"; }));

    // Back walks the same way home: copies, server, start; then there is nowhere to go.
    for (const wchar_t* title : {L"Le copie", L"Il server", L"Inizio"}) {
        ASSERT_TRUE(IsWindowEnabled(back)) << "before " << ToUtf8(title);
        SendMessageW(back, BM_CLICK, 0, 0);
        EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), title);
        EXPECT_EQ(topics[static_cast<size_t>(SelectedItem(list))].title, title);
    }
    EXPECT_FALSE(IsWindowEnabled(back));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HelpViewer, BackSkipsTopicsTheFileNoLongerHolds) {
    test::TempFolder temp;
    const std::wstring file = temp / L"DorviVaultick.Hlp";
    ASSERT_TRUE(test::WriteBytes(file, "[Principale]\nInizio\ntesto\n[Vecchio]\nVecchio\ntesto\n"));
    InstallHelpViewer(file);
    RequestHelp(L"Principale");
    RequestHelp(L"Vecchio");
    // The file changes between two requests: the old topic is gone from it.
    ASSERT_TRUE(test::WriteBytes(file, "[Principale]\nInizio rifatto\ntesto\n[Nuovo]\nNuovo\ntesto\n"));
    RequestHelp(L"Nuovo");
    HWND viewer = HelpViewerWindow();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(ListItems(GetDlgItem(viewer, IDL_HELP_TOPICS)), (std::vector<std::wstring>{L"Inizio rifatto", L"Nuovo"}));
    SendMessageW(GetDlgItem(viewer, IDB_HELP_BACK), BM_CLICK, 0, 0);
    EXPECT_EQ(ItemText(viewer, IDT_HELP_TITLE), L"Inizio rifatto");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(viewer, IDB_HELP_BACK)));
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
