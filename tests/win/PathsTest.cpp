#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "win/Paths.h"

#include <shlobj.h>

namespace vt {
namespace {

TEST(Paths, NamesAndFolders) {
    EXPECT_EQ(FileNameOf(L"C:\\a\\b.txt"), L"b.txt");
    EXPECT_EQ(FolderOf(L"C:\\a\\b.txt"), L"C:\\a");
    EXPECT_EQ(FolderOf(L"C:\\b.txt"), L"C:");
    EXPECT_EQ(ExcludeTrailingBackslash(L"C:\\a\\"), L"C:\\a");
    EXPECT_EQ(IncludeTrailingBackslash(L"C:"), L"C:\\");
    EXPECT_EQ(IncludeTrailingBackslash(L"C:\\"), L"C:\\");
}

TEST(Paths, ForceFoldersCreatesEveryMissingParent) {
    test::TempFolder temp;
    const std::wstring deep = temp / L"Dorvi\\Vaultick\\uno";
    EXPECT_TRUE(ForceFolders(deep + L"\\"));
    EXPECT_TRUE(FolderExists(deep));
    EXPECT_TRUE(ForceFolders(deep));
    EXPECT_FALSE(FileExists(deep));
    // A file in the way cannot become a folder.
    ASSERT_TRUE(test::WriteBytes(temp / L"file", "x"));
    EXPECT_FALSE(ForceFolders(temp / L"file\\sub"));
    EXPECT_FALSE(ForceFolders(L""));
}

TEST(Paths, ShellFoldersExist) {
    EXPECT_TRUE(FolderExists(ShellFolder(CSIDL_APPDATA)));
    EXPECT_TRUE(FolderExists(TempFolder()));
    EXPECT_TRUE(FileExists(ModuleFileName()));
}

}  // namespace
}  // namespace vt
