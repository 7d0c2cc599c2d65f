#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "support/TempFolder.h"
#include "win/FileHelpers.h"
#include "win/Paths.h"
#include "win/Text.h"

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

TEST(LongPath, NamesKeepTheirTrailingDotsAndBlanks) {
    EXPECT_EQ(LongPath(L"C:\\Dati\\nota."), L"\\\\?\\C:\\Dati\\nota.");
    EXPECT_EQ(LongPath(L"C:/Dati. /x/../nota /"), L"\\\\?\\C:\\Dati. \\nota \\");
    EXPECT_EQ(LongPath(L"C:\\..\\..\\Dati"), L"\\\\?\\C:\\Dati");
    EXPECT_EQ(LongPath(L"C:\\"), L"\\\\?\\C:\\");
    // Neither ".." nor doubled separators climb above the share.
    EXPECT_EQ(LongPath(L"\\\\srv\\q\\..\\..\\a."), L"\\\\?\\UNC\\srv\\q\\a.");
}

TEST(LongPath, AnyGeneratedPathComesOutCleanWithItsNamesIntact) {
    const std::vector<std::wstring> parts{L"Dati", L"nota.", L"x y ", L".", L"..", L"", L"...", L"\u00e8"};
    const std::vector<std::wstring> roots{L"C:\\", L"c:/", L"\\\\srv\\q\\", L"\\\\srv\\q\\\\"};
    unsigned seed = 12345;
    auto next = [&](size_t n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<size_t>((seed >> 16) % n);
    };
    for (int round = 0; round < 3000; ++round) {
        const std::wstring& root = roots[next(roots.size())];
        std::wstring path = root;
        std::vector<std::wstring> kept;  // what a name-by-name reading keeps, ".." undoing one
        const size_t count = next(7);
        for (size_t i = 0; i < count; ++i) {
            const std::wstring& part = parts[next(parts.size())];
            path += part + (next(2) ? L"\\" : L"/");
            if (part == L"..") {
                if (!kept.empty()) kept.pop_back();
            } else if (!part.empty() && part != L".") {
                kept.push_back(part);
            }
        }
        const std::wstring longPath = LongPath(path);
        const bool unc = root[0] == L'\\';
        const std::wstring prefix = unc ? L"\\\\?\\UNC\\srv\\q" : L"\\\\?\\" + root.substr(0, 2) + L"\\";
        ASSERT_EQ(longPath.rfind(prefix, 0), 0u) << ToUtf8(path);
        std::wstring expected = prefix;
        for (size_t i = 0; i < kept.size(); ++i) expected += (i || unc ? L"\\" : L"") + kept[i];
        if (!kept.empty() || unc) expected += L"\\";
        EXPECT_EQ(longPath, expected) << ToUtf8(path);
        EXPECT_EQ(LongPath(longPath), longPath);
    }
}

TEST(FolderIdentity, OneFolderWhateverItsSpelling) {
    test::TempFolder temp;
    const std::wstring folder = temp / L"Cartella lunga di prova";
    ASSERT_TRUE(ForceFolders(folder + L"\\Sotto"));
    std::wstring shortName(MAX_PATH, L'\0');
    shortName.resize(GetShortPathNameW(folder.c_str(), shortName.data(), MAX_PATH));
    ASSERT_NE(shortName.find(L'~'), std::wstring::npos);
    std::wstring upper = folder;
    CharUpperW(upper.data());
    std::wstring slashed = folder + L"/Sotto/..";
    std::replace(slashed.begin() + 3, slashed.end(), L'\\', L'/');

    const auto identity = FolderIdentity(folder);
    ASSERT_TRUE(identity.has_value());
    for (const std::wstring& spelling : {folder + L"\\", upper, shortName, slashed, LongPath(folder)}) {
        EXPECT_EQ(FolderIdentity(spelling), identity) << ToUtf8(spelling);
        EXPECT_TRUE(SamePath(spelling, folder)) << ToUtf8(spelling);
    }
    EXPECT_NE(FolderIdentity(folder + L"\\Sotto"), identity);
    EXPECT_NE(FolderIdentity(temp.Path()), identity);
    EXPECT_FALSE(SamePath(folder + L"\\Sotto", folder));
    EXPECT_FALSE(FolderIdentity(folder + L"\\Manca").has_value());
    // Paths that do not exist yet compare by their spelling.
    EXPECT_TRUE(SamePath(folder + L"\\Manca\\", upper + L"/manca"));
    EXPECT_FALSE(SamePath(folder + L"\\Manca", folder + L"\\Manca."));
}

TEST(ListMatching, NothingMatchingIsEmptyAndAMissingFolderIsNoList) {
    test::TempFolder temp;
    ASSERT_TRUE(test::WriteBytes(temp / L"a.txt", "x"));
    EXPECT_EQ(ListMatching(temp / L"*.log").value_or(std::vector<FolderEntry>{{L"?"}}).size(), 0u);
    EXPECT_EQ(ListMatching(temp / L"*").value().size(), 1u);
    EXPECT_FALSE(ListMatching(temp / L"Manca\\*").has_value());
    EXPECT_FALSE(ListMatching(temp / L"a.txt\\*").has_value());
}

}  // namespace
}  // namespace vt
