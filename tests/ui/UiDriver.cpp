// uidriver: plays the user for scripts that look at the windows under Wine.
//   uidriver wait <caption> [seconds]        waits for a visible top-level window
//   uidriver click <caption> <control id>    clicks a button of that window
//   uidriver post <caption> <msg> <lparam>   posts a message to that window
//   uidriver end <exe name>                  ends every process of that executable
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "e2e/RunningProgram.h"

namespace {

using namespace vt::test;

HWND WaitWindow(const std::wstring& caption, int seconds) {
    HWND window = nullptr;
    WaitFor([&] { return (window = FindTopWindow(L"", caption)) != nullptr && IsWindowVisible(window); },
            std::chrono::seconds(seconds));
    return window;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring command = argv[1];
    if (command == L"end") {
        EndProcesses(argv[2]);
        return 0;
    }
    HWND window = WaitWindow(argv[2], command == L"wait" && argc > 3 ? _wtoi(argv[3]) : 20);
    if (!window) {
        std::fwprintf(stderr, L"no window \"%ls\"\n", argv[2]);
        return 1;
    }
    if (command == L"wait") return 0;
    if (command == L"post" && argc > 4) {
        PostMessageW(window, static_cast<UINT>(_wtoi(argv[3])), 0, _wtoi(argv[4]));
        return 0;
    }
    HWND control = argc > 3 ? FindControl(window, _wtoi(argv[3])) : nullptr;
    if (!control) return 1;
    if (command == L"click") {
        PostMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    return 2;
}
