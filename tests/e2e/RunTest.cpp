#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "RunningProgram.h"
#include "app/MainWindowIds.h"
#include "settings/FileListFile.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/Paths.h"

namespace vt {
namespace {

using namespace std::chrono_literals;
using test::FindControl;
using test::FindTopWindow;
using test::WaitFor;

// "Avvia" on the main window, answered Yes, runs the shown job to its log lines and copies.
class RunNow : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
    test::TempFolder folder_;
    SettingsStore store_;
    std::unique_ptr<test::RunningProgram> program_;

    void SetUp() override {
        test::EndProcesses(L"DorviVaultick.exe");
        store_.WriteBool(L"Principale", L"ShowInst", false);
        store_.WriteString(L"Principale", L"Versione", L"3.7");
        store_.WriteString(L"Principale", L"Orario", L"03:00");
        store_.WriteBool(L"FileLog", L"CBAttiva", true);
        store_.WriteString(L"FileLog", L"CartDest", folder_.Path());
        ForceFolders(folder_ / L"prog");
        ForceFolders(folder_ / L"copie");
    }
    void TearDown() override {
        program_.reset();
        test::EndProcesses(L"DorviVaultick.exe");
    }

    std::string Log() const { return test::ReadBytes(folder_ / L"Vaultick.log"); }

    void RunShownJob(const char* closingLine) {
        const std::wstring exe = folder_ / L"prog\\DorviVaultick.exe";
        CopyFileW((test::BinFolder() + L"\\DorviVaultick.exe").c_str(), exe.c_str(), FALSE);
        CopyFileW((test::BinFolder() + L"\\Sweepex.exe").c_str(), (folder_ / L"prog\\Sweepex.exe").c_str(), FALSE);
        test::WriteBytes(folder_ / L"prog\\DorviVaultick.exe.manifest", std::string());
        program_ = std::make_unique<test::RunningProgram>(exe, L"");
        HWND window = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (window = FindTopWindow(L"#32770", L"Dorvi Vaultick", program_->Id())); }, 60s));
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(FindControl(window, IDB_RUN_NOW)) != FALSE; }, 60s));
        PostMessageW(FindControl(window, IDB_RUN_NOW), BM_CLICK, 0, 0);
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(L"#32770", L"Conferma", program_->Id())); }, 60s));
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        ASSERT_TRUE(WaitFor([&] { return Log().find(closingLine) != std::string::npos; }, 60s)) << Log();
    }

    // The dated folders of copyName in the copies folder.
    std::vector<std::wstring> DatedFolders(const std::wstring& copyName) const {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW((folder_ / (L"copie\\" + copyName + L"_*")).c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return found;
        do found.push_back(data.cFileName); while (FindNextFileW(search, &data));
        FindClose(search);
        return found;
    }
};

TEST_F(RunNow, FolderJobCopiesTheTreeAndLogsItsLines) {
    ForceFolders(folder_ / L"Documenti\\Lettere");
    test::WriteBytes(folder_ / L"Documenti\\bilancio.txt", "conti");
    test::WriteBytes(folder_ / L"Documenti\\Lettere\\cara.txt", "saluti");
    store_.WriteString(L"Principale", L"Sorgente", folder_ / L"Documenti");
    store_.WriteString(L"Principale", L"Destinazione", folder_ / L"copie");
    RunShownJob("Copia limitata nel numero effettuata : ");

    const auto copies = DatedFolders(L"Documenti");
    ASSERT_EQ(copies.size(), 1u);
    const std::wstring copy = folder_ / (L"copie\\" + copies[0]);
    EXPECT_EQ(copies[0].size(), std::wstring(L"Documenti_ddmmyy-hhnnss").size());
    EXPECT_EQ(test::ReadBytes(copy + L"\\bilancio.txt"), "conti");
    EXPECT_EQ(test::ReadBytes(copy + L"\\Lettere\\cara.txt"), "saluti");
    const std::string log = Log();
    EXPECT_EQ(log.rfind("FileLog creato da DorviVaultick.exe\r\n\r\n", 0), 0u) << log;
    EXPECT_NE(log.find("\r\nAvvio backup numero 1\r\nTipo di backup : Cartelle\r\nCopia limitata nel numero effettuata : "),
              std::string::npos) << log;
}

TEST_F(RunNow, FileListJobLogsTheMissingFile) {
    test::WriteBytes(folder_ / L"uno.txt", "1");
    test::WriteBytes(folder_ / L"tre.txt", "3");
    ForceFolders(DataFolder());
    const std::wstring list = FileListPath(DataFolder(), 1);
    ASSERT_TRUE(WriteFileList(list, {folder_ / L"uno.txt", folder_ / L"due.txt", folder_ / L"tre.txt"}));
    store_.WriteBool(L"Principale", L"TipoDir", false);
    store_.WriteBool(L"Principale", L"TipoFile", true);
    store_.WriteString(L"Principale", L"DestinazioneFile", folder_ / L"copie");
    store_.WriteBool(L"NrBackup", L"RB3", false);
    store_.WriteBool(L"NrBackup", L"RB1", true);
    RunShownJob("Singola copia effettuata : ");
    DeleteFileW(list.c_str());

    const auto copies = DatedFolders(L"File1");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(test::ReadBytes(folder_ / (L"copie\\" + copies[0] + L"\\tre.txt")), "3");
    const std::string missing = "File non copiato (corrotto o in uso) : " + std::string(folder_.Path().begin(), folder_.Path().end()) + "\\due.txt\r\n";
    EXPECT_NE(Log().find("Tipo di backup : File\r\n" + missing + "Singola copia effettuata : "), std::string::npos) << Log();
}

TEST_F(RunNow, LaunchJobStartsTheFileInItsFolder) {
    ForceFolders(folder_ / L"strumenti");
    test::WriteBytes(folder_ / L"strumenti\\segna.bat", "@echo fatto > segno.txt\r\n");
    store_.WriteBool(L"Principale", L"TipoDir", false);
    store_.WriteBool(L"Principale", L"TipoExe", true);
    store_.WriteString(L"Principale", L"SorgenteExe", folder_ / L"strumenti\\segna.bat");
    RunShownJob("File lanciato : ");
    // Written and let go of by the batch, which ran in its own folder.
    EXPECT_TRUE(WaitFor([&] { return test::ReadBytes(folder_ / L"strumenti\\segno.txt").find("fatto") == 0; }, 60s));
}

}  // namespace
}  // namespace vt
