#include <gtest/gtest.h>

#include <windows.h>

#include "install/UninstallLogWriter.h"
#include "support/TempFolder.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {
namespace {

TEST(UninstallLogWriter, WritesTheNineteenLinesInAnsiWithCrLfAsANewFile) {
    test::TempFolder temp;
    const std::wstring program = L"C:\\Programmi\\Contabilità e Vaultick";
    ASSERT_TRUE(WriteUninstallLog(temp.Path(), program));

    const std::string folder = "C:\\Programmi\\Contabilit\xE0 e Vaultick";
    const std::string expected = "[DirCorrente]\r\n" + folder + "\r\n-\r\n[File2]\r\n"
                                 "DorviVaultick.exe\r\nSweepex.exe\r\nRimuovi Vaultick.lnk\r\n"
                                 "BkpFile1.Dat\r\nBkpFile2.Dat\r\nBkpFile3.Dat\r\nBkpFile4.Dat\r\nBkpFile5.Dat\r\n"
                                 "DorviVaultick.hlp\r\nDorviVaultick.gid\r\nDorviVaultick.exe.manifest\r\n"
                                 "-\r\n[RimuoviDirMsg]\r\n" + folder + "\r\n-\r\n";
    EXPECT_EQ(test::ReadBytes(temp / L"UnLogF.Dat"), expected);
    EXPECT_EQ(UninstallLogLines(program).size(), 19u);
}

// A log somebody else put there first, and holds open for reading, is never written into, taken
// for ours or deleted.
TEST(UninstallLogWriter, ALogPlantedBeforeIsNeitherUsedNorTouched) {
    test::TempFolder temp;
    const std::string planted = "[Directory]\r\nC:\\Vittima\r\n";
    ASSERT_TRUE(test::WriteBytes(temp / L"UnLogF.Dat", planted));
    HANDLE held = CreateFileW((temp / L"UnLogF.Dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteUninstallLog(temp.Path(), L"C:\\Vaultick"));
    CloseHandle(held);
    EXPECT_FALSE(WriteUninstallLog(temp.Path(), L"C:\\Vaultick"));
    EXPECT_EQ(test::ReadBytes(temp / L"UnLogF.Dat"), planted);
}

TEST(UninstallLogWriter, MissingFolderIsAFailureNotACrash) {
    test::TempFolder temp;
    EXPECT_FALSE(WriteUninstallLog(temp / L"manca", L"C:\\Vaultick"));
}

// "Ł" and "ź" are not in the ANSI code page, and best-fit would spell the folder "Lodz":
// the uninstaller would then delete our file names in a folder that is not ours.
const std::wstring kOutsideAnsi = L"\u0141\u00F3d\u017A";

TEST(UninstallLogWriter, FolderOutsideTheCodePageWithoutShortNameLeavesNoLogAtAll) {
    test::TempFolder temp;
    ASSERT_FALSE(FitsAnsi(kOutsideAnsi));
    // A folder that does not exist has no short name to fall back on.
    EXPECT_FALSE(WriteUninstallLog(temp.Path(), temp / L"manca\\" + kOutsideAnsi));
    EXPECT_FALSE(FileExists(temp / L"UnLogF.Dat"));
}

TEST(UninstallLogWriter, FolderOutsideTheCodePageIsNeverWrittenAsALookAlike) {
    test::TempFolder temp;
    const std::wstring ours = temp / kOutsideAnsi;
    const std::wstring lookAlike = temp / L"Lodz";
    // Wine under a Unix locale without UTF-8 cannot name such a file at all.
    if (!CreateDirectoryW(ours.c_str(), nullptr)) GTEST_SKIP() << "the file system cannot hold the name";
    ASSERT_TRUE(CreateDirectoryW(lookAlike.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(ours + L"\\ours", "x"));
    ASSERT_TRUE(test::WriteBytes(lookAlike + L"\\decoy", "x"));

    if (!WriteUninstallLog(temp.Path(), ours)) {
        // No short name either: no log.
        EXPECT_FALSE(FileExists(temp / L"UnLogF.Dat"));
        return;
    }
    const std::wstring text = FromAnsi(test::ReadBytes(temp / L"UnLogF.Dat"));
    const size_t first = text.find(L"\r\n") + 2;
    const std::wstring named = text.substr(first, text.find(L"\r\n", first) - first);
    EXPECT_TRUE(FitsAnsi(named));
    EXPECT_TRUE(FileExists(named + L"\\ours")) << named;
    EXPECT_FALSE(FileExists(named + L"\\decoy")) << named;
    EXPECT_NE(text.find(L"[RimuoviDirMsg]\r\n" + named + L"\r\n"), std::wstring::npos);
}

}  // namespace
}  // namespace vt
