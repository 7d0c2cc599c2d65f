#include <gtest/gtest.h>

#include "install/UninstallLogWriter.h"
#include "support/TempFolder.h"

namespace vt {
namespace {

TEST(UninstallLogWriter, WritesTheNineteenLinesInAnsiWithCrLfReplacingAnOldLog) {
    test::TempFolder temp;
    test::WriteBytes(temp / L"UnLogF.Dat", std::string(5000, 'x'));
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

TEST(UninstallLogWriter, MissingFolderIsAFailureNotACrash) {
    test::TempFolder temp;
    EXPECT_FALSE(WriteUninstallLog(temp / L"manca", L"C:\\Vaultick"));
}

}  // namespace
}  // namespace vt
