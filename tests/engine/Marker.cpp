// Started by the launch tests: writes its arguments into "marker.txt" in the folder it was
// started in. Written under another name and renamed, so a reader never sees half a file.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    std::wstring text;
    for (int i = 1; i < argc; ++i) text += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
    HANDLE file = CreateFileW(L"marker.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(L"marker.tmp", L"marker.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
