#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <utility>

#include "support/TempFolder.h"
#include "support/UnixShell.h"
#include "win/FileHelpers.h"
#include "win/Paths.h"
#include "win/TreeDeletion.h"

namespace vt {
namespace {

// A folder outside the tree with a file in it: what a link in the tree leads to.
struct Victim {
    explicit Victim(const std::wstring& folder) : folder(folder) {
        ForceFolders(folder);
        test::WriteBytes(folder + L"\\marker.txt", "resta");
    }
    bool Intact() const { return test::ReadBytes(folder + L"\\marker.txt") == "resta"; }
    std::wstring folder;
};

std::wstring Numbered(const wchar_t* prefix, int n) {
    wchar_t name[32];
    swprintf(name, 32, L"%ls%04d.txt", prefix, n);
    return name;
}

TEST(TreeDeletion, ALinkInsideOrGivenAsTheFolderNeverTakesWhatItLeadsTo) {
    test::TempFolder temp;
    Victim victim(temp / L"Vittima");
    const std::wstring tree = temp / L"Albero";
    ASSERT_TRUE(ForceFolders(tree + L"\\Sotto\\Giu"));
    ASSERT_TRUE(test::WriteBytes(tree + L"\\a.txt", "x"));
    ASSERT_TRUE(test::WriteBytes(tree + L"\\Sotto\\Giu\\b.txt", "x"));
    test::UnixLinks links;
    ASSERT_TRUE(links.Make(victim.folder, tree + L"\\Sotto\\Collegata"));
    ASSERT_TRUE(links.Make(victim.folder, temp / L"SoloLink"));
    ASSERT_TRUE(links.Make(victim.folder + L"\\marker.txt", tree + L"\\marker.txt"));
    // Wine shows the link to a folder as a reparse point without a tag.
    EXPECT_TRUE(IsLinkPath(tree + L"\\Sotto\\Collegata"));

    // Removed as links where the system can, left in place where it cannot (Wine): either way
    // nothing they lead to.
    DeleteTree(tree);
    DeleteTree(temp / L"SoloLink");
    RemoveEmptyFolderBelow(tree, L"Sotto\\Collegata");
    // A link on the way is never gone through.
    EXPECT_FALSE(DeleteFileBelow(tree, L"Sotto\\Collegata\\marker.txt"));
    EXPECT_FALSE(DeleteTreeBelow(temp.Path(), L"SoloLink\\Manca"));
    EXPECT_TRUE(victim.Intact());
    EXPECT_TRUE(FolderExists(victim.folder));
    // What is the tree's own went.
    EXPECT_FALSE(FileExists(tree + L"\\a.txt"));
    EXPECT_FALSE(FolderExists(tree + L"\\Sotto\\Giu"));
}

TEST(TreeDeletion, ASubFolderSwappedForALinkWhileTheSweepRunsLeadsNowhere) {
    test::TempFolder temp;
    Victim victim(temp / L"Vittima");
    const std::wstring tree = temp / L"Profilo";
    ASSERT_TRUE(ForceFolders(tree + L"\\Sotto"));
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(test::WriteBytes(tree + L"\\" + Numbered(L"f", i), "x"));
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(test::WriteBytes(tree + L"\\Sotto\\" + Numbered(L"g", i), "x"));
    test::UnixLinks links;
    links.Remember(tree + L"\\Sotto");
    const std::string unixTree = test::UnixPathOf(tree);
    ASSERT_FALSE(unixTree.empty());

    // The owner of the tree swaps the sub-folder for a link once the sweep has listed the folder
    // and is under way (its first file), from the Linux side, where no share mode holds it back.
    bool swapped = false;
    TreeDeletion how;
    how.beforeFile = [&, first = true]() mutable {
        if (std::exchange(first, false))
            swapped = test::RunUnixShell("cd " + test::ShellQuoted(unixTree) + " && mv Sotto Sotto.via && ln -s " +
                                         test::ShellQuoted(test::UnixPathOf(victim.folder)) + " Sotto");
        return true;
    };
    DeleteTreeBelow(temp.Path(), L"Profilo", how);
    ASSERT_TRUE(swapped);
    // The swap came before the sweep reached the sub-folder: its files are all still there.
    EXPECT_TRUE(FileExists(tree + L"\\Sotto.via\\" + Numbered(L"g", 0)));
    EXPECT_TRUE(victim.Intact());
    EXPECT_FALSE(FileExists(tree + L"\\" + Numbered(L"f", 1999)));
}

TEST(TreeDeletion, ReadOnlyFilesAndAStopAreTheCallersChoice) {
    test::TempFolder temp;
    const std::wstring tree = temp / L"Copia";
    ASSERT_TRUE(ForceFolders(tree + L"\\Sotto"));
    ASSERT_TRUE(test::WriteBytes(tree + L"\\ro.txt", "x"));
    ASSERT_TRUE(test::WriteBytes(tree + L"\\Sotto\\b.txt", "x"));
    SetFileAttributesW((tree + L"\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    // A second name of the read-only file, outside the tree: it keeps its protection.
    ASSERT_TRUE(CreateHardLinkW((temp / L"altro-nome.txt").c_str(), (tree + L"\\ro.txt").c_str(), nullptr));

    TreeDeletion keepReadOnly;
    keepReadOnly.clearReadOnly = false;
    EXPECT_FALSE(DeleteTreeBelow(temp.Path(), L"Copia", keepReadOnly));
    EXPECT_TRUE(FileExists(tree + L"\\ro.txt"));
    EXPECT_FALSE(FolderExists(tree + L"\\Sotto"));

    ASSERT_TRUE(test::WriteBytes(tree + L"\\dopo.txt", "x"));
    int asked = 0;
    TreeDeletion stopAtOnce;
    stopAtOnce.beforeFile = [&asked] { return ++asked > 1 ? false : true; };
    EXPECT_FALSE(DeleteTreeBelow(temp.Path(), L"Copia", stopAtOnce));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(FolderExists(tree));

    EXPECT_TRUE(DeleteTreeBelow(temp.Path(), L"Copia"));
    EXPECT_FALSE(FolderExists(tree));
    EXPECT_EQ(GetFileAttributesW((temp / L"altro-nome.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
              DWORD{FILE_ATTRIBUTE_READONLY});
    EXPECT_TRUE(DeleteTreeBelow(temp.Path(), L"Copia")) << "missing is nothing to do";
}

// Relative ways of every shape: whatever they say, nothing outside the base folder goes.
TEST(TreeDeletion, NoRelativeWayLeavesTheBaseFolder) {
    test::TempFolder temp;
    const std::wstring base = temp / L"Base";
    Victim beside(temp / L"Accanto");
    std::mt19937 random(20260608);
    const wchar_t* parts[] = {L"..", L".", L"a", L"Accanto", L"", L"b", L"Base", L"..\\Accanto", L"C:", L"/"};
    for (int round = 0; round < 300; ++round) {
        ForceFolders(base + L"\\a\\b");
        std::wstring relative;
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
            if (!relative.empty() || random() % 2) relative += L"\\";
            relative += parts[random() % std::size(parts)];
        }
        DeleteTreeBelow(base, relative);
        RemoveEmptyFolderBelow(base, relative);
        DeleteFileBelow(base, relative);
        ASSERT_TRUE(beside.Intact()) << std::string(relative.begin(), relative.end());
    }
}

}  // namespace
}  // namespace vt
