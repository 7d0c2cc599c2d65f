#include <gtest/gtest.h>

#include <vector>

#include "about/AboutBox.h"
#include "about/AboutBoxIds.h"
#include "win/Help.h"
#include "win/MessagePump.h"
#include "win/Product.h"

namespace vt {
namespace {

constexpr wchar_t kCaption[] = L"Backup automatico a tempo";

class InfoProbe : public AboutBox {
public:
    using Form::HelpContext;
};

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) { return text.rfind(prefix, 0) == 0; }

// Records the help requests instead of showing them.
class HelpRecorder {
public:
    HelpRecorder() {
        SetHelpHandler([this](const std::wstring& keyword) { keywords.push_back(keyword); });
    }
    ~HelpRecorder() { SetHelpHandler(nullptr); }
    std::vector<std::wstring> keywords;
};

void Click(HWND control) {
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

TEST(AboutBox, ShowsItsTextsAndTheSystem) {
    InfoProbe form;
    ASSERT_TRUE(form.CreateModeless(nullptr));
    EXPECT_EQ(TextOf(form.Handle()), kCaption);
    EXPECT_EQ(form.HelpContext(), 20);
    EXPECT_EQ(form.TermsLabel.Text(), L"Leggi  le condizioni per l'utilizzo di questo prodotto:");
    EXPECT_EQ(form.TermsLink.Text(), L" info ");
    EXPECT_EQ(form.ThanksLabel.Text(), L"Per la realizzazione del programma Dorvi ringrazia:");
    EXPECT_EQ(form.ThanksLink.Text(), L" info ");
    EXPECT_EQ(form.MailLink.Text(), kMakerMail);
    EXPECT_EQ(form.WebLink.Text(), kMakerWeb);
    EXPECT_EQ(form.OkButton.Text(), L"OK");
    EXPECT_TRUE(StartsWith(form.WindowsLabel.Text(), L"Microsoft Windows ")) << form.WindowsLabel.Text();
    EXPECT_NE(form.WindowsLabel.Text().find(L" - build "), std::wstring::npos);
    EXPECT_TRUE(StartsWith(form.TotalMemoryLabel.Text(), L"Memoria fisica disponibile "));
    EXPECT_TRUE(form.TotalMemoryLabel.Text().ends_with(L" Kb"));
    EXPECT_TRUE(StartsWith(form.UsedMemoryLabel.Text(), L"Memoria in uso "));
    EXPECT_TRUE(form.UsedMemoryLabel.Text().ends_with(L" Kb)"));
    EXPECT_NE(SendMessageW(form.ProgramIcon.Handle(), STM_GETICON, 0, 0), 0);
}

TEST(AboutBox, LinksOpenTheirHelpTopicsWithAHandCursor) {
    HelpRecorder help;
    InfoProbe form;
    ASSERT_TRUE(form.CreateModeless(nullptr));
    Click(form.TermsLink.Handle());
    Click(form.ThanksLink.Handle());
    SendMessageW(form.Handle(), WM_HELP, 0, 0);
    EXPECT_EQ(help.keywords, (std::vector<std::wstring>{L"CondizionidiUtilizzo", L"Ringraziamenti", L"Principale"}));

    for (const Label* link : {&form.TermsLink, &form.MailLink, &form.WebLink}) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        SendMessageW(link->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    }
    // The clickable area ends with the words: the link sits after its label's text.
    EXPECT_GT(form.TermsLink.Bounds().left, form.TermsLabel.Bounds().left);
    EXPECT_LT(form.TermsLink.Bounds().right, form.TermsLabel.Bounds().right + 80);
}

TEST(AboutBox, CentredOnItsOwner) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"Proprietario", WS_POPUP | WS_CAPTION | WS_VISIBLE, 60, 80, 700,
                                 560, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(owner);
    {
        InfoProbe form;
        ASSERT_TRUE(form.CreateModeless(owner));
        RECT outer, inner;
        GetWindowRect(owner, &outer);
        GetWindowRect(form.Handle(), &inner);
        EXPECT_NEAR((inner.left + inner.right) / 2, (outer.left + outer.right) / 2, 2);
        EXPECT_NEAR((inner.top + inner.bottom) / 2, (outer.top + outer.bottom) / 2, 2);
    }
    DestroyWindow(owner);
}

// A modal run is driven from a thread timer; after three seconds it gives up, so a fault
// fails the test instead of hanging it.
struct ModalDriver {
    static inline UINT key = 0;  // 0: press OK; else this virtual key goes to the focused control
    static inline int ticks = 0;
    static inline bool gaveUp = false;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = FindWindowW(nullptr, kCaption);
        if (!dialog) return;
        if (++ticks == 1) {
            if (key) PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
            else PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        } else if (ticks > 30) {
            gaveUp = true;
            KillTimer(nullptr, id);
            EndDialog(dialog, -1);
        }
    }
    static INT_PTR Run(UINT withKey) {
        key = withKey;
        ticks = 0;
        gaveUp = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, &Tick);
        AboutBox form;
        const INT_PTR result = form.ShowModal(nullptr);
        KillTimer(nullptr, timer);
        EXPECT_FALSE(gaveUp);
        return result;
    }
};

TEST(AboutBox, ModalBoxClosesWithOKAndWithEsc) {
    EXPECT_EQ(ModalDriver::Run(0), IDOK);
    EXPECT_EQ(ModalDriver::Run(VK_ESCAPE), IDCANCEL);
}

}  // namespace
}  // namespace vt
