// Started by the retention tests: holds a file open without delete sharing, as an indexer or an
// editor does, and signals the named event once it does. It runs until it is ended.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const HANDLE opened = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (!opened || !SetEvent(opened)) return 1;
    Sleep(INFINITE);
    return 0;
}
