#include <gtest/gtest.h>

#include <stdexcept>

#include "TestFormIds.h"
#include "win/Controls.h"
#include "win/Form.h"
#include "win/MessagePump.h"

namespace vt {
namespace {

class ThrowingForm : public Form {
public:
    ThrowingForm() : Form(IDD_TESTFORM) {}
    Timer ThrowingTimer;
    Edit EditText;
    int ticks = 0;
    bool closed = false;
    std::wstring hint;

protected:
    void OnCreate() override {
        EditText.Attach(Handle(), IDE_TEXT);
        SetHint(IDE_TEXT, L"Testo di prova");
        AddTimer(ThrowingTimer, 1, 50, true, [this] {
            ++ticks;
            throw std::runtime_error("tick");
        });
    }
    void OnCommand(int id, int) override {
        if (id == IDB_THROW) throw std::runtime_error("click");
    }
    void OnClose() override {
        closed = true;
        Form::OnClose();
    }
    void OnHint(const std::wstring& text) override { hint = text; }
};

TEST(Form, NoFailureEscapesAHandlerAndTheWindowLivesOn) {
    ThrowingForm form;
    ASSERT_TRUE(form.CreateModeless(nullptr));
    Button throwing;
    throwing.Attach(form.Handle(), IDB_THROW);
    throwing.Click();
    EXPECT_TRUE(WaitSeconds(0.3));
    EXPECT_GE(form.ticks, 2);  // the timer keeps firing after a failure
    EXPECT_TRUE(IsWindow(form.Handle()));
    form.EditText.SetText(L"Città");
    EXPECT_EQ(form.EditText.Text(), L"Città");
}

TEST(Form, HintFollowsTheControlUnderTheCursor) {
    ThrowingForm form;
    ASSERT_TRUE(form.CreateModeless(nullptr));
    SendMessageW(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.EditText.Handle()), HTCLIENT);
    EXPECT_EQ(form.hint, L"Testo di prova");
    SendMessageW(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Handle()), HTCLIENT);
    EXPECT_EQ(form.hint, L"");
}

TEST(Form, CloseBoxEndsAModalForm) {
    ThrowingForm form;
    // The dialog's handle exists only inside ShowModal; find it from a thread timer.
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostMessageW(FindWindowW(nullptr, L"Prova"), WM_CLOSE, 0, 0);
    });
    ASSERT_NE(timer, 0u);
    EXPECT_EQ(form.ShowModal(nullptr), IDCANCEL);
    EXPECT_TRUE(form.closed);
}

}  // namespace
}  // namespace vt
