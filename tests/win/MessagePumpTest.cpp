#include <gtest/gtest.h>

#include <windows.h>

#include "win/MessagePump.h"

namespace vt {
namespace {

struct Counter {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_APP) ++count;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    static inline int count = 0;
};

HWND MakeCounterWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Counter::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VtPumpTest";
    RegisterClassW(&wc);
    return CreateWindowW(L"VtPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

TEST(MessagePump, WaitSecondsRunsTheMessageLoopForItsTime) {
    HWND window = MakeCounterWindow();
    Counter::count = 0;
    PostMessageW(window, WM_APP, 0, 0);
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(WaitSeconds(0.3));
    EXPECT_GE(GetTickCount64() - start, 290u);
    EXPECT_EQ(Counter::count, 1);
    DestroyWindow(window);
}

TEST(MessagePump, QuitEndsTheWaitAndStaysForTheOuterLoop) {
    PostQuitMessage(3);
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(WaitSeconds(30));
    EXPECT_LT(GetTickCount64() - start, 10000u);
    EXPECT_FALSE(ProcessMessages());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(ProcessMessages());
}

}  // namespace
}  // namespace vt
