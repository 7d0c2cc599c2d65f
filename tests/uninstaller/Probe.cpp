// Stands in for the main program when Sweepex restarts it: records how it was started in
// "probe-ran.txt" beside itself, then ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    const std::wstring marker = self.substr(0, self.find_last_of(L'\\')) + L"\\probe-ran.txt";
    const std::wstring partial = marker + L".part";
    const std::wstring line = GetCommandLineW();
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    // Appears whole or not at all.
    MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
