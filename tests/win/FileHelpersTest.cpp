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

TEST(DeleteTree, NamesEndingInADotAreRemovedAsThemselves) {
    test::TempFolder temp;
    const std::wstring root = temp / L"Vaultick";
    for (const wchar_t* name : {L"x.", L"x", L"y.", L"x\\sotto."}) {
        ASSERT_TRUE(ForceFolders(LongPath(root + L"\\" + name)));
        ASSERT_TRUE(WriteWholeFile(LongPath(root + L"\\" + name + L"\\f."), ToUtf8(name)));
    }
    // Only "x." goes, not the "x" beside it that its trimmed name would be.
    EXPECT_TRUE(DeleteTree(root + L"\\x."));
    EXPECT_EQ(GetFileAttributesW(LongPath(root + L"\\x.").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadWholeFile(LongPath(root + L"\\x\\sotto.\\f.")), "x\\sotto.");
    EXPECT_TRUE(DeleteTree(root));
    EXPECT_FALSE(FolderExists(root));
}

TEST(IsLinkPath, OnlyAPathThatIsMissingIsSurelyNoLink) {
    test::TempFolder temp;
    ASSERT_TRUE(ForceFolders(temp / L"Cartella"));
    ASSERT_TRUE(test::WriteBytes(temp / L"file.txt", "x"));
    for (const std::wstring& plain : {temp / L"Cartella", temp / L"Cartella\\", temp / L"file.txt", temp / L"Manca",
                                      temp / L"Manca\\Sotto", temp.Path().substr(0, 3)})
        EXPECT_FALSE(IsLinkPath(plain)) << ToUtf8(plain);
    // What cannot be looked at may be a junction: access denied under Windows; a name the file
    // system refuses is what Wine (run as root) can make.
    EXPECT_TRUE(IsLinkPath(temp / L"a<b"));
    EXPECT_FALSE(DeleteTree(temp / L"a<b"));
    EXPECT_TRUE(DeleteTree(temp / L"Manca"));
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
    const std::vector<std::wstring> parts{L"Dati", L"nota.", L"x y ", L".", L"..", L"", L"...", L"\u00e8", L" a."};
    const std::vector<std::wstring> roots{L"C:\\", L"c:/", L"\\\\srv\\q\\", L"\\\\srv\\q\\\\", L"\\\\srv/q/"};
    unsigned seed = 12345;
    auto next = [&](size_t n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<size_t>((seed >> 16) % n);
    };
    for (int round = 0; round < 3000; ++round) {
        const std::wstring& root = roots[next(roots.size())];
        std::wstring path = root;
        std::vector<std::wstring> given;  // the names written, in order
        size_t climbs = 0;
        const size_t count = next(7);
        for (size_t i = 0; i < count; ++i) {
            const std::wstring& part = parts[next(parts.size())];
            path += part + (next(2) ? L"\\" : L"/");
            if (part == L"..") ++climbs;
            else if (!part.empty() && part != L".") given.push_back(part);
        }
        const std::wstring out = LongPath(path);
        const bool unc = root[1] == L'\\';
        // Never above the drive or the share.
        const std::wstring prefix = unc ? L"\\\\?\\UNC\\srv\\q" : L"\\\\?\\" + root.substr(0, 2) + L"\\";
        ASSERT_EQ(out.rfind(prefix, 0), 0u) << ToUtf8(path);
        EXPECT_EQ(out.find(L'/'), std::wstring::npos) << ToUtf8(path);
        EXPECT_EQ(out.find(L"\\\\", 2), std::wstring::npos) << ToUtf8(path);
        std::vector<std::wstring> names;
        for (size_t begin = prefix.size(); begin < out.size();) {
            size_t end = out.find(L'\\', begin);
            if (end == std::wstring::npos) end = out.size();
            if (end > begin) names.push_back(out.substr(begin, end - begin));
            begin = end + 1;
        }
        // Every name comes out as it was written, in the order written; only "." and ".." go,
        // and each ".." takes at most one name with it.
        auto written = given.begin();
        for (const std::wstring& name : names) {
            EXPECT_NE(name, L".") << ToUtf8(path);
            EXPECT_NE(name, L"..") << ToUtf8(path);
            written = std::find(written, given.end(), name);
            ASSERT_NE(written, given.end()) << ToUtf8(path);
            ++written;
        }
        EXPECT_LE(names.size(), given.size()) << ToUtf8(path);
        EXPECT_GE(names.size() + climbs, given.size()) << ToUtf8(path);
        if (climbs == 0) {
            EXPECT_EQ(names, given) << ToUtf8(path);
        }
        if (!names.empty()) {
            EXPECT_EQ(out.back() == L'\\', path.back() == L'\\' || path.back() == L'/') << ToUtf8(path);
        }
        EXPECT_EQ(LongPath(out), out);
    }
}

// Restores the current folder a test changes.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder) {
        previous_.resize(GetCurrentDirectoryW(0, nullptr));
        previous_.resize(GetCurrentDirectoryW(static_cast<DWORD>(previous_.size()), previous_.data()));
        changed_ = SetCurrentDirectoryW(folder.c_str()) != FALSE;
    }
    ~CurrentFolder() { SetCurrentDirectoryW(previous_.c_str()); }
    bool Changed() const { return changed_; }

private:
    std::wstring previous_;
    bool changed_ = false;
};

TEST(LongPath, PathsLeaningOnTheCurrentFolderBecomeAbsoluteWithTheirNamesIntact) {
    test::TempFolder temp;
    ASSERT_TRUE(test::WriteBytes(temp / L"nota", "senza"));
    ASSERT_TRUE(WriteWholeFile(LongPath(temp / L"nota."), "con il punto"));
    const CurrentFolder current(temp.Path());
    ASSERT_TRUE(current.Changed());
    const std::wstring drive = temp.Path().substr(0, 2);

    EXPECT_EQ(LongPath(drive + L"nota."), LongPath(temp / L"nota."));
    EXPECT_EQ(LongPath(drive + L"Sotto/../x. "), LongPath(temp / L"x. "));
    EXPECT_EQ(ReadWholeFile(LongPath(drive + L"nota.")), "con il punto");
    EXPECT_EQ(ReadWholeFile(LongPath(drive + L"nota")), "senza");
    EXPECT_EQ(LongPath(L"\\Backup\\nota."), L"\\\\?\\" + drive + L"\\Backup\\nota.");
    EXPECT_EQ(LongPath(L"/Backup /"), L"\\\\?\\" + drive + L"\\Backup \\");
    EXPECT_EQ(LongPath(L"\\"), L"\\\\?\\" + drive + L"\\");
    EXPECT_EQ(ReadWholeFile(LongPath(temp.Path().substr(2) + L"\\nota.")), "con il punto");
}

TEST(TypedPath, ReadAsWindowsAlwaysReadTypedPaths) {
    EXPECT_EQ(TypedPath(L"D:\\Backup."), L"D:\\Backup");
    EXPECT_EQ(TypedPath(L"C:\\Dati "), L"C:\\Dati");
    EXPECT_EQ(TypedPath(L"C:/Dati/../Copie\\"), L"C:\\Copie\\");
    EXPECT_EQ(TypedPath(L"\\\\srv\\q\\Copie. "), L"\\\\srv\\q\\Copie");
    // A bare drive is its root, never the drive's current folder.
    EXPECT_EQ(TypedPath(L"D:"), L"D:\\");
    EXPECT_EQ(TypedPath(L""), L"");
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

TEST(ListMatching, AListingThatBreaksOffIsNoList) {
    // Wine reads a whole folder at the first request, so a listing cannot break off under it:
    // the rule is tested on scripted answers of the system.
    auto entry = [](const std::wstring& name) {
        WIN32_FIND_DATAW found{};
        name.copy(found.cFileName, name.size());
        found.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        return found;
    };
    const std::vector<WIN32_FIND_DATAW> later{entry(L".."), entry(L"b.txt"), entry(L"c.txt")};
    for (DWORD reason : {DWORD(ERROR_NO_MORE_FILES), DWORD(ERROR_NETNAME_DELETED), DWORD(ERROR_ACCESS_DENIED),
                         DWORD(ERROR_UNEXP_NET_ERR)}) {
        for (size_t given = 0; given <= later.size(); ++given) {
            size_t next = 0;
            const auto listed = GatherListing(entry(L"a.txt"), [&](WIN32_FIND_DATAW& found) {
                if (next < given) {
                    found = later[next++];
                    return true;
                }
                SetLastError(reason);
                return false;
            });
            ASSERT_EQ(listed.has_value(), reason == ERROR_NO_MORE_FILES) << reason << " " << given;
            if (listed) {
                EXPECT_EQ(listed->size(), given == 0 ? 1 : given);
            }
        }
    }
}

}  // namespace
}  // namespace vt
