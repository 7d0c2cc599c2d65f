#include "win/MessagePump.h"

#include <windows.h>

#include "win/Form.h"

namespace vt {

int RunMessageLoop(const std::function<void()>& afterEach) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!Form::PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (afterEach) afterEach();
    }
    return static_cast<int>(msg.wParam);
}

bool ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The outer loop must still see it and end the program.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (!Form::PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

bool WaitSeconds(double seconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
    for (;;) {
        if (!ProcessMessages()) return false;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

}  // namespace vt
