// uidriver: plays the user for scripts that look at the windows under Wine.
//   uidriver wait <caption> [seconds]        waits for a visible top-level window
//   uidriver click <caption> <control id>    clicks a button of that window
//   uidriver post <caption> <msg> <lparam>   posts a message to that window
//   uidriver rect <caption> [class]          prints a visible window's rectangle as WxH+X+Y (an
//                                            empty caption with a class: any caption)
//   uidriver end <exe name>                  ends every process of that executable
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "e2e/RunningProgram.h"

namespace {

using namespace vt::test;

struct Wanted {
    std::wstring caption, className;
    HWND found = nullptr;
};

// The first visible top-level window with the caption and class (an empty one: any).
HWND VisibleWindow(const std::wstring& caption, const std::wstring& className) {
    Wanted wanted{caption, className};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            Wanted& w = *reinterpret_cast<Wanted*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (!IsWindowVisible(window) || (!w.className.empty() && w.className != name) ||
                (!w.caption.empty() && w.caption != WindowText(window)))
                return TRUE;
            w.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&wanted));
    return wanted.found;
}

HWND WaitWindow(const std::wstring& caption, int seconds, const std::wstring& className = L"") {
    HWND window = nullptr;
    WaitFor([&] { return (window = VisibleWindow(caption, className)) != nullptr; }, std::chrono::seconds(seconds));
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
    HWND window = command == L"rect" ? WaitWindow(argv[2], 20, argc > 3 ? argv[3] : L"")
                                     : WaitWindow(argv[2], command == L"wait" && argc > 3 ? _wtoi(argv[3]) : 20);
    if (!window) {
        std::fwprintf(stderr, L"no window \"%ls\"\n", argv[2]);
        return 1;
    }
    if (command == L"wait") return 0;
    if (command == L"rect") {
        RECT r;
        GetWindowRect(window, &r);
        std::wprintf(L"%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        return 0;
    }
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
