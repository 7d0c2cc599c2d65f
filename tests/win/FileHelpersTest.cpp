#include <gtest/gtest.h>

#include <windows.h>

#include "support/TempFolder.h"
#include "win/FileHelpers.h"
#include "win/Paths.h"

namespace vt {
namespace {

TEST(DeleteTree, RemovesEveryKindOfFileAndLeavesDotFolders) {
    test::TempFolder temp;
    const std::wstring root = temp / L"Vaultick";
    ASSERT_TRUE(ForceFolders(root + L"\\sub\\deeper"));
    ASSERT_TRUE(test::WriteBytes(root + L"\\ro.txt", "x"));
    ASSERT_TRUE(test::WriteBytes(root + L"\\sub\\hidden.txt", "x"));
    ASSERT_TRUE(test::WriteBytes(root + L"\\sub\\deeper\\sys.txt", "x"));
    SetFileAttributesW((root + L"\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((root + L"\\sub\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((root + L"\\sub\\deeper\\sys.txt").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteTree(root));
    EXPECT_FALSE(FolderExists(root));
    EXPECT_TRUE(DeleteTree(root));  // missing is fine

    // A folder whose name begins with "." is not entered, so its parent stays.
    ASSERT_TRUE(ForceFolders(root + L"\\.svn"));
    ASSERT_TRUE(test::WriteBytes(root + L"\\.svn\\keep", "x"));
    EXPECT_FALSE(DeleteTree(root));
    EXPECT_TRUE(FileExists(root + L"\\.svn\\keep"));
}

}  // namespace
}  // namespace vt
