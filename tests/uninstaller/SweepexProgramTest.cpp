// Sweepex.exe run whole, as the main program starts it: a copy in a temporary folder with the
// uninstall log beside it. Everything it may delete lies inside the test's own folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "LogText.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/Paths.h"

namespace vt {
namespace {

constexpr DWORD kMessageTextId = 0xFFFF;  // the text of a message box

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 60000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > deadline) return false;
        Sleep(20);
    }
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// Top-level windows of one process, with the class asked for (any when empty).
std::vector<HWND> WindowsOf(DWORD processId, const std::wstring& className, bool visibleOnly) {
    struct Search { DWORD pid; std::wstring cls; bool visible; std::vector<HWND> found; } search{processId, className, visibleOnly, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == s.pid && (s.cls.empty() || ClassOf(window) == s.cls) && (!s.visible || IsWindowVisible(window)))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Box {
    HWND window = nullptr;
    std::wstring caption, text;
};

class SweepexProgramTest : public testing::Test {
protected:
    void SetUp() override {
        const std::wstring bin = FolderOf(ModuleFileName());
        sweepex_ = temp_ / L"Sweepex.exe";
        ASSERT_TRUE(CopyFileW((bin + L"\\Sweepex.exe").c_str(), sweepex_.c_str(), FALSE));
        prog_ = temp_ / L"Dorvi Vaultick";
        ASSERT_TRUE(CreateDirectoryW(prog_.c_str(), nullptr));
        // Neighbours that no log line names.
        ASSERT_TRUE(test::WriteBytes(temp_ / L"vicino.txt", "resta"));
        ASSERT_TRUE(CreateDirectoryW((temp_ / L"Altro").c_str(), nullptr));
        ASSERT_TRUE(test::WriteBytes(temp_ / L"Altro\\BkpFile1.Dat", "resta"));
    }

    void TearDown() override {
        if (process_.hProcess) {
            // A failed test may leave a box open; the folder cannot go while the program runs.
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 1);
                WaitForSingleObject(process_.hProcess, 10000);
            }
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        EXPECT_TRUE(Exists(temp_ / L"vicino.txt"));
        EXPECT_TRUE(Exists(temp_ / L"Altro\\BkpFile1.Dat"));
        EXPECT_TRUE(Exists(sweepex_)) << "the uninstaller's own copy stays";
    }

    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    void InstallFiles() {
        for (const std::wstring& name : test::InstalledFileNames())
            ASSERT_TRUE(test::WriteBytes(prog_ + L"\\" + name, "x"));
        SetFileAttributesW((prog_ + L"\\DorviVaultick.exe.manifest").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    int InstalledFilesLeft() const {
        int left = 0;
        for (const std::wstring& name : test::InstalledFileNames()) left += Exists(prog_ + L"\\" + name);
        return left;
    }
    void WriteMainProgramLog() {
        ASSERT_TRUE(test::WriteBytes(temp_ / L"UnLogF.Dat", test::LogBytes(test::MainProgramLog(prog_))));
    }

    void Start(const std::wstring& arguments, const std::wstring& folder) {
        std::wstring line = L"\"" + sweepex_ + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(sweepex_.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &process_));
    }

    // The next message box of the program, once it is on the screen.
    Box NextBox() {
        Box box;
        WaitFor([&] {
            const std::vector<HWND> boxes = WindowsOf(process_.dwProcessId, L"#32770", true);
            if (boxes.empty()) return false;
            box.window = boxes.front();
            return true;
        });
        if (box.window) {
            box.caption = TextOf(box.window);
            wchar_t text[1024] = {};
            GetDlgItemTextW(box.window, kMessageTextId, text, 1024);
            box.text = text;
        }
        return box;
    }

    static void Press(const Box& box, int id) {
        PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box.window, id)));
    }

    // Exit code, or -1 when the program is still running at the deadline.
    int WaitForEnd(DWORD timeoutMs = 60000) {
        if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<int>(code);
    }

    test::SettingsGuard settings_;
    test::TempFolder temp_;
    std::wstring sweepex_, prog_;
    PROCESS_INFORMATION process_{};
};

TEST_F(SweepexProgramTest, RemovesTheInstalledFilesAndTheEmptiedFolderOnYes) {
    InstallFiles();
    WriteMainProgramLog();
    Start(L"GoUninstal DorviVaultick", temp_.Path());

    HWND progress = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<HWND> windows = WindowsOf(process_.dwProcessId, L"DorviSweepex", true);
        if (!windows.empty()) progress = windows.front();
        return progress != nullptr;
    }));
    EXPECT_EQ(TextOf(progress), L"DorviVaultick - Disinstallazione");
    EXPECT_EQ(TextOf(FindWindowExW(progress, nullptr, L"Static", nullptr)),
              L" Attendere. Controllo dei file da rimuovere in corso....");

    const Box question = NextBox();
    ASSERT_NE(question.window, nullptr);
    EXPECT_EQ(question.caption, L"Informazione");
    EXPECT_EQ(question.text, L"Questa cartella risulta vuota:\r\n" + prog_ + L"\r\nRimuoverla?");
    EXPECT_FALSE(IsWindowVisible(progress)) << "the progress window hides before a box";
    EXPECT_EQ(InstalledFilesLeft(), 0);
    Press(question, IDYES);

    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_FALSE(Exists(prog_));
    EXPECT_FALSE(Exists(temp_ / L"UnLogF.Dat"));
}

TEST_F(SweepexProgramTest, NoKeepsTheEmptyFolderWithoutAnotherMessage) {
    InstallFiles();
    WriteMainProgramLog();
    Start(L"GoUninstal DorviVaultick", temp_.Path());
    const Box question = NextBox();
    ASSERT_NE(question.window, nullptr);
    EXPECT_EQ(question.caption, L"Informazione");
    Press(question, IDNO);
    EXPECT_EQ(WaitForEnd(), 0) << "a second box would keep the program running";
    EXPECT_TRUE(FolderExists(prog_));
    EXPECT_EQ(InstalledFilesLeft(), 0);
    EXPECT_FALSE(Exists(temp_ / L"UnLogF.Dat"));
}

TEST_F(SweepexProgramTest, UsersOwnFileKeepsTheFolderAndTheFinalMessageNamesIt) {
    InstallFiles();
    ASSERT_TRUE(test::WriteBytes(prog_ + L"\\I miei appunti.txt", "mio"));
    WriteMainProgramLog();
    Start(L"GoUninstal DorviVaultick", temp_.Path());
    const Box message = NextBox();
    ASSERT_NE(message.window, nullptr);
    EXPECT_EQ(message.caption, L"DorviVaultick - Disinstalla");
    EXPECT_EQ(message.text,
              L"Non tutti i file sono stati rimossi durante la disinstallazione\r\n"
              L"del programma dal sistema. Procedere manualmente\r\n"
              L"per gli altri contenuti nella cartella:\r\n" + prog_ + L"\\");
    Press(message, IDOK);
    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_EQ(InstalledFilesLeft(), 0);
    EXPECT_EQ(test::ReadBytes(prog_ + L"\\I miei appunti.txt"), "mio");
    EXPECT_FALSE(Exists(temp_ / L"UnLogF.Dat"));
}

TEST_F(SweepexProgramTest, MissingLogIsReportedAndNothingIsTouched) {
    InstallFiles();
    Start(L"GoUninstal DorviVaultick", temp_.Path());
    const Box message = NextBox();
    ASSERT_NE(message.window, nullptr);
    EXPECT_EQ(message.caption, L"Errore");
    EXPECT_EQ(message.text, L"Problemi durante la disinstallazione.\r\nFile non trovato: UnLogF.Dat");
    Press(message, IDOK);
    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_EQ(InstalledFilesLeft(), 11);
}

TEST_F(SweepexProgramTest, OtherRequestsEndAtOnceWithoutAWindow) {
    InstallFiles();
    WriteMainProgramLog();
    for (const wchar_t* arguments : {L"", L"goUninstal DorviVaultick", L"GOUNINSTAL DorviVaultick", L"Rimuovi"}) {
        Start(arguments, temp_.Path());
        bool windowSeen = false;
        ASSERT_TRUE(WaitFor([&] {
            windowSeen = windowSeen || !WindowsOf(process_.dwProcessId, L"", true).empty();
            return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
        })) << arguments;
        EXPECT_FALSE(windowSeen) << arguments;
        EXPECT_EQ(WaitForEnd(), 0);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    EXPECT_EQ(InstalledFilesLeft(), 11);
    EXPECT_TRUE(Exists(temp_ / L"UnLogF.Dat"));
}

TEST_F(SweepexProgramTest, LaunchFileStartsTheProgramFromItsOwnFolder) {
    const std::wstring bin = FolderOf(ModuleFileName());
    ASSERT_TRUE(CopyFileW((bin + L"\\SweepexProbe.exe").c_str(), (temp_ / L"Probe.exe").c_str(), FALSE));
    // Started from elsewhere, as the system may start it: the name is still found beside Sweepex.
    Start(L"LanciaFile Probe.exe", prog_);
    EXPECT_EQ(WaitForEnd(), 0);
    ASSERT_TRUE(WaitFor([&] { return Exists(temp_ / L"probe-ran.txt"); }));
    const std::string written = test::ReadBytes(temp_ / L"probe-ran.txt");
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(written.data()), written.size() / 2), L"Probe.exe");
    // The probe writes and ends; give it the moment it needs to let go of its own file.
    WaitFor([&] { return DeleteFileW((temp_ / L"Probe.exe").c_str()) != FALSE; }, 10000);
}

}  // namespace
}  // namespace vt
