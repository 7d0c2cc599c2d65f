#include <gtest/gtest.h>

#include "RunningProgram.h"
#include "settings/FileListFile.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/Paths.h"
#include "win/RegKey.h"
#include "win/Text.h"

namespace vt {
namespace {

using namespace std::chrono_literals;
using test::FindTopWindow;
using test::RunningProgram;
using test::WaitFor;

constexpr wchar_t kEntryKey[] = L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DorviVaultick.";
constexpr wchar_t kRun[] = L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr int kBtnSi = 812;

std::wstring LogonName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    GetUserNameW(name, &size);
    return name;
}

// The removal takes the user's data folder: keep the real one aside while the test runs.
class DataFolderAside {
public:
    DataFolderAside() : folder_(DataFolder()), aside_(folder_ + L".VaultickTest") {
        moved_ = MoveFileW(folder_.c_str(), aside_.c_str()) != FALSE;
    }
    ~DataFolderAside() {
        test::RemoveTree(folder_);
        if (moved_) MoveFileW(aside_.c_str(), folder_.c_str());
    }
    const std::wstring& Path() const { return folder_; }

private:
    std::wstring folder_, aside_;
    bool moved_ = false;
};

class Removal : public ::testing::Test {
protected:
    test::SettingsGuard settings_;
    test::RegistryGuard machine_{HKEY_LOCAL_MACHINE, kSettingsKey};
    test::RegistryGuard entry_{HKEY_LOCAL_MACHINE, kEntryKey};
    test::RegistryGuard run_{HKEY_CURRENT_USER, kRun};
    DataFolderAside data_;
    test::TempFolder folder_;

    void SetUp() override {
        test::EndProcesses(L"DorviVaultick.exe");
        SettingsStore store;
        store.WriteBool(L"Principale", L"ShowInst", false);
        store.WriteString(L"Principale", L"Versione", L"3.7");
        RegKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kSettingsKey) + L"\\Principale").WriteString(L"Utente", LogonName());
        RegKey::Create(HKEY_LOCAL_MACHINE, kEntryKey).WriteString(L"DisplayName", L"DorviVaultick 3.7  (Dorvi Multimedia)");
        RegKey::Create(HKEY_CURRENT_USER, kRun).WriteString(L"Vaultick", folder_ / L"DorviVaultick.Exe /go");
        ForceFolders(data_.Path());
        test::WriteBytes(data_.Path() + L"\\BkpFile1.Dat", "C:\\a.txt\r\n");
    }
    void TearDown() override {
        test::EndProcesses(L"DorviVaultick.exe");
        test::EndProcesses(L"Sweepex.exe");
        for (const wchar_t* name : {L"Sweepex.exe", L"UnLogF.Dat", L"probe-ran.txt"})
            DeleteFileW((ExcludeTrailingBackslash(TempFolder()) + L"\\" + name).c_str());
        for (const std::wstring& folder : RemovalFolders()) test::RemoveTree(folder);
    }

    // The folders removals made for the uninstaller (an elevated removal: under the Windows
    // temporary folder).
    static std::vector<std::wstring> RemovalFolders() {
        wchar_t windows[MAX_PATH] = {};
        GetSystemWindowsDirectoryW(windows, MAX_PATH);
        const std::wstring temp = ExcludeTrailingBackslash(windows) + L"\\Temp";
        std::vector<std::wstring> folders;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((temp + L"\\Vaultick-*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return folders;
        do folders.push_back(temp + L"\\" + found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
        return folders;
    }

    std::wstring InstallProgram() {
        const std::wstring exe = folder_ / L"DorviVaultick.exe";
        EXPECT_TRUE(CopyFileW((test::BinFolder() + L"\\DorviVaultick.exe").c_str(), exe.c_str(), FALSE));
        EXPECT_TRUE(CopyFileW((test::BinFolder() + L"\\Sweepex.exe").c_str(), (folder_ / L"Sweepex.exe").c_str(), FALSE));
        test::WriteBytes(folder_ / L"DorviVaultick.exe.manifest", std::string());
        return exe;
    }

    // The removal dialog of a start with "Rimuovi", its "Si" pressed.
    static void PressSi(const RunningProgram& program) {
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            return (dialog = FindTopWindow(L"#32770", L"Dorvi Vaultick - Disinstallazione", program.Id())) != nullptr;
        }, 60s));
        const HWND yes = test::FindControl(dialog, kBtnSi);
        ASSERT_NE(yes, nullptr);
        EXPECT_EQ(test::WindowText(yes), L"    Si");
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kBtnSi, BN_CLICKED), reinterpret_cast<LPARAM>(yes));
    }
};

TEST_F(Removal, RemovalArgumentRemovesEverythingAndTheUninstallerOffersTheEmptyFolder) {
    const std::wstring exe = InstallProgram();
    test::WriteBytes(folder_ / L"BkpFile2.Dat", "C:\\b.txt\r\n");

    RunningProgram program(exe, L"Rimuovi");
    PressSi(program);
    ASSERT_TRUE(program.WaitForExit(60s));

    // Everything the program owns outside its folder is gone before the uninstaller starts.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey));
    EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, kRun).ValueExists(L"Vaultick"));
    EXPECT_FALSE(FolderExists(data_.Path()));

    // The uninstaller deletes the files, then asks about the emptied folder.
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(L"#32770", L"Informazione")) != nullptr; }, 60s));
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    EXPECT_EQ(std::wstring(text), L"Questa cartella risulta vuota:\r\n" + folder_.Path() + L"\r\nRimuoverla?");
    EXPECT_FALSE(FileExists(exe));
    EXPECT_FALSE(FileExists(folder_ / L"BkpFile2.Dat"));
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitFor([&] { return !FolderExists(folder_.Path()); }, 60s));
    // The uninstaller worked from a folder of its own and deleted its log there.
    ASSERT_EQ(RemovalFolders().size(), 1u);
    const std::wstring own = RemovalFolders()[0];
    EXPECT_TRUE(FileExists(own + L"\\Sweepex.exe"));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(own + L"\\UnLogF.Dat"); }, 60s));
}

// Another program of the user plants its own log and its own "uninstaller" where the removal used
// to put them, and holds both open: neither is read nor started, and the removal goes on.
TEST_F(Removal, ALogAndAnUninstallerPlantedInTheTemporaryFolderAreNeverUsed) {
    const std::wstring exe = InstallProgram();
    const std::wstring temp = ExcludeTrailingBackslash(TempFolder());
    test::TempFolder victim;
    ASSERT_TRUE(test::WriteBytes(victim / L"marker.txt", "resta"));
    ASSERT_TRUE(test::WriteBytes(temp + L"\\UnLogF.Dat", "[Directory]\r\n" + ToAnsi(victim.Path()) + "\r\n"));
    ASSERT_TRUE(CopyFileW((test::BinFolder() + L"\\SweepexProbe.exe").c_str(), (temp + L"\\Sweepex.exe").c_str(), FALSE));
    HANDLE plantedLog = CreateFileW((temp + L"\\UnLogF.Dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE plantedExe = CreateFileW((temp + L"\\Sweepex.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(plantedLog, INVALID_HANDLE_VALUE);
    ASSERT_NE(plantedExe, INVALID_HANDLE_VALUE);

    RunningProgram program(exe, L"Rimuovi");
    PressSi(program);
    ASSERT_TRUE(program.WaitForExit(60s));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(L"#32770", L"Informazione")) != nullptr; }, 60s));
    EXPECT_FALSE(FileExists(exe));
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    CloseHandle(plantedLog);
    CloseHandle(plantedExe);
    EXPECT_EQ(test::ReadBytes(victim / L"marker.txt"), "resta");
    EXPECT_FALSE(FileExists(temp + L"\\probe-ran.txt"));
}

TEST_F(Removal, AnotherAccountInUseIsToldBeforeAnythingIsRemoved) {
    // A second account of the machine whose hive cannot be mounted: its user is logged on.
    test::TempFolder giulia;
    const std::wstring account =
        L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-7001-7002-7003-1002";
    test::RegistryGuard entry(HKEY_LOCAL_MACHINE, account);
    ASSERT_TRUE(RegKey::Create(HKEY_LOCAL_MACHINE, account).WriteString(L"ProfileImagePath", giulia.Path()));

    RunningProgram program(InstallProgram(), L"Rimuovi");
    PressSi(program);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(L"#32770", L"Conferma", program.Id())) != nullptr; }, 60s));
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    EXPECT_EQ(std::wstring(text), L"Uno o più utenti risulta attualmente collegato.\r\nProseguendo con la "
                                  L"disinstallazione non tutti i dati verranno rimossi.\r\nContinuare ugualmente?");
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(program.WaitForExit(60s));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey));
    EXPECT_TRUE(FolderExists(data_.Path()));
}

}  // namespace
}  // namespace vt
