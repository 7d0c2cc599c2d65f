#include <gtest/gtest.h>

#include <vector>

#include "win/NotifyUser.h"

namespace vt {
namespace {

TEST(NotifyUser, KindGivesCaptionAndIcon) {
    struct Case { int kind; const wchar_t* caption; UINT icon; };
    const Case cases[] = {{0, L"Attenzione", MB_ICONWARNING}, {1, L"Errore", MB_ICONERROR},
                          {2, L"Informazione", MB_ICONINFORMATION}, {3, L"Conferma", MB_ICONQUESTION},
                          {4, L"", 0}, {-1, L"", 0}};
    for (const Case& c : cases) {
        const MessageBoxRequest request = BuildMessageBoxRequest(L"t", c.kind, 0);
        EXPECT_EQ(request.caption, c.caption) << c.kind;
        EXPECT_EQ(request.flags & MB_ICONMASK, c.icon) << c.kind;
    }
}

TEST(NotifyUser, ButtonSetsAndAnswers) {
    EXPECT_EQ(BuildMessageBoxRequest(L"t", 3, 3).flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(BuildMessageBoxRequest(L"t", 3, 6).flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(BuildMessageBoxRequest(L"t", 3, 11).flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(BuildMessageBoxRequest(L"t", 3, 4).flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    EXPECT_EQ(TranslateMessageBoxAnswer(6, IDYES), 1);
    EXPECT_EQ(TranslateMessageBoxAnswer(6, IDNO), IDNO);
    EXPECT_EQ(TranslateMessageBoxAnswer(3, IDYES), IDYES);
    EXPECT_EQ(TranslateMessageBoxAnswer(11, IDCANCEL), IDCANCEL);
}

TEST(NotifyUser, CarriageReturnBreaksTheLine) {
    EXPECT_EQ(BuildMessageBoxRequest(L"File mancante:\rC:\\x", 1, 0).text, L"File mancante:\r\nC:\\x");
    EXPECT_EQ(BuildMessageBoxRequest(L"a\r\nb\r", 1, 0).text, L"a\r\nb\r\n");
}

TEST(NotifyUser, SeamAnswersAndSeesTheOwner) {
    HWND app = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetApplicationWindow(app);
    MessageBoxRequest seen;
    SetMessageBoxSeam([&](const MessageBoxRequest& request) {
        seen = request;
        return IDYES;
    });
    EXPECT_EQ(NotifyUser(L"Interrompere il Backup?", 3, 6), 1);
    EXPECT_EQ(NotifyUser(L"Interrompere il Backup?", 3, 3), IDYES);
    SetMessageBoxSeam(nullptr);
    SetApplicationWindow(nullptr);
    EXPECT_EQ(seen.text, L"Interrompere il Backup?");
    EXPECT_EQ(seen.owner, app);
    DestroyWindow(app);
}

TEST(NotifyUser, AskYesNoIsAQuestionAndTellsEveryAnswerApart) {
    std::vector<MessageBoxRequest> seen;
    int platformAnswer = IDYES;
    SetMessageBoxSeam([&](const MessageBoxRequest& request) {
        seen.push_back(request);
        return platformAnswer;
    });
    EXPECT_EQ(AskYesNo(L"Cancellare tutta la lista?"), YesNo::Yes);
    platformAnswer = IDNO;
    EXPECT_EQ(AskYesNo(L"Cancellare tutta la lista?"), YesNo::No);
    platformAnswer = 0;  // the box could not be shown
    EXPECT_EQ(AskYesNo(L"Cancellare tutta la lista?"), YesNo::Unanswered);
    ShowMessage(L"Problemi nella lettura", kNotifyError);
    SetMessageBoxSeam(nullptr);
    ASSERT_EQ(seen.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].caption, L"Conferma");
        EXPECT_EQ(seen[i].flags & (MB_TYPEMASK | MB_ICONMASK), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    }
    EXPECT_EQ(seen[3].caption, L"Errore");
    EXPECT_EQ(seen[3].flags & (MB_TYPEMASK | MB_ICONMASK), static_cast<UINT>(MB_OK | MB_ICONERROR));
}

}  // namespace
}  // namespace vt
