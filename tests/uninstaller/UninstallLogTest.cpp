#include <gtest/gtest.h>

#include "LogText.h"
#include "uninstaller/UninstallLog.h"
#include "win/WholeDrive.h"

namespace vt::sweepex {
namespace {

Step File(const std::wstring& path, bool counts) { return {StepKind::DeleteOneFile, path, L"", counts}; }
Step Base(const std::wstring& path) { return {StepKind::SetBaseFolder, path, L"", false}; }

TEST(UninstallLog, MainProgramLogDeletesElevenFilesThenAsksAboutTheFolder) {
    const std::wstring folder = L"C:\\Programmi\\Dorvi Vaultick";
    const std::vector<Step> steps = ReadUninstallLog(test::MainProgramLog(folder));
    ASSERT_EQ(steps.size(), 13u);
    EXPECT_EQ(steps[0], Base(folder + L"\\"));
    const std::vector<std::wstring> names = test::InstalledFileNames();
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(steps[1 + i], File(folder + L"\\" + names[i], false));
    EXPECT_EQ(steps[12], (Step{StepKind::AskRemoveEmptyFolder, folder, L"", true}));
}

TEST(UninstallLog, TagsMatchInAnyCaseButTerminatorsAndNamesAreExact) {
    const std::vector<Step> steps = ReadUninstallLog({
        L"[DIRECTORY]", L"C:\\Vecchia", L"[DirCorrente]", L"C:\\P", L"[fIlE1]", L"Uno.TXT", L"- ", L" -",
        L"--", L"-", L" [file3]", L"C:\\non.tag", L"[File3]", L"C:\\tre.txt", L"-", L"[RimuoviDir]", L"Sub",
    });
    const std::vector<Step> expected = {
        {StepKind::DeleteTree, L"C:\\Vecchia", L"", true}, Base(L"C:\\P\\"), File(L"C:\\P\\Uno.TXT", true),
        File(L"C:\\P\\- ", true), File(L"C:\\P\\ -", true), File(L"C:\\P\\--", true), File(L"C:\\tre.txt", false),
        {StepKind::RemoveEmptyFolder, L"Sub", L"", false},
    };
    EXPECT_EQ(steps, expected);
}

TEST(UninstallLog, ListWithoutClosingLineRunsToTheEndAndSwallowsLaterTags) {
    const std::vector<Step> steps =
        ReadUninstallLog({L"[dircorrente]", L"D:\\Q", L"[file1]", L"a.txt", L"[file2]", L"b.txt"});
    const std::vector<Step> expected = {Base(L"D:\\Q\\"), File(L"D:\\Q\\a.txt", true),
                                        File(L"D:\\Q\\[file2]", true), File(L"D:\\Q\\b.txt", true)};
    EXPECT_EQ(steps, expected);
}

TEST(UninstallLog, WithoutBaseFolderNamesStayRelative) {
    const std::vector<Step> steps = ReadUninstallLog({L"[file2]", L"x.dat", L"-", L"[file1]", L"y.dat", L"-"});
    const std::vector<Step> expected = {File(L"x.dat", false), File(L"y.dat", true)};
    EXPECT_EQ(steps, expected);
}

TEST(UninstallLog, LaterTagsSeeTheLineAnEarlierSectionConsumed) {
    // The argument of "[directory]" is itself a tag further down the list of tags.
    EXPECT_EQ(ReadUninstallLog({L"[directory]", L"[dircorrente]", L"C:\\B", L"[file2]", L"k", L"-"}),
              (std::vector<Step>{{StepKind::DeleteTree, L"[dircorrente]", L"", true}, Base(L"C:\\B\\"),
                                 File(L"C:\\B\\k", false)}));
    // An earlier tag is never tested again: a list's last name "[directory]" stays a name.
    EXPECT_EQ(ReadUninstallLog({L"[file3]", L"[directory]", L"C:\\Keep"}),
              (std::vector<Step>{File(L"[directory]", false), File(L"C:\\Keep", false)}));
}

Step Refused(const std::wstring& line) { return {StepKind::Refuse, line, L"", true}; }
Step Skipped(const std::wstring& name) { return {StepKind::SkipName, name, L"", true}; }

TEST(UninstallLog, NamesOfTheBaseFolderListsStayInsideIt) {
    const std::vector<Step> steps = ReadUninstallLog({
        L"[dircorrente]", L"C:\\P", L"[file1]", L"..\\..\\Windows\\win.ini", L"a.txt", L"sub\\b.txt", L"-",
        L"[file2]", L"C:\\Windows\\win.ini", L"\\boot.ini", L"/etc", L"..", L"...", L" ", L"", L"c.txt:stream",
        L"*.*", L"d.txt", L"-", L"[file3]", L"C:\\Altro\\e.txt", L"-",
    });
    const std::vector<Step> expected = {
        Base(L"C:\\P\\"), Skipped(L"..\\..\\Windows\\win.ini"), File(L"C:\\P\\a.txt", true),
        Skipped(L"sub\\b.txt"), Skipped(L"C:\\Windows\\win.ini"), Skipped(L"\\boot.ini"), Skipped(L"/etc"),
        Skipped(L".."), Skipped(L"..."), Skipped(L" "), Skipped(L""), Skipped(L"c.txt:stream"), Skipped(L"*.*"),
        File(L"C:\\P\\d.txt", false), File(L"C:\\Altro\\e.txt", false),
    };
    EXPECT_EQ(steps, expected);
}

TEST(UninstallLog, ABaseFolderThatIsNotBelowARootRefusesTheWholeLog) {
    for (const std::wstring& base : {std::wstring(L""), std::wstring(L"\\"), std::wstring(L"/"), std::wstring(L"C:"),
                                     std::wstring(L"C:\\"), std::wstring(L"P"), std::wstring(L"..\\P"),
                                     std::wstring(L"[FILE1]"), std::wstring(L"\\\\server\\share"),
                                     std::wstring(L"\\\\?\\Volume{1b3c}"), std::wstring(L"C:\\P\\..")}) {
        // Steps before the base folder line are dropped too: nothing at all is done.
        EXPECT_EQ(ReadUninstallLog({L"[file3]", L"C:\\x.txt", L"-", L"[directory]", L"C:\\Vecchia", L"[dircorrente]",
                                    base, L"[file1]", L"a", L"-"}),
                  std::vector<Step>{Refused(base)})
            << base;
    }
}

// Logs made at random from tags in any case, terminators, folders and names good and bad:
// whatever the order, a "[file1]"/"[file2]" deletion is a plain name inside the base folder
// in force, and a base folder is always an absolute folder below a root.
TEST(UninstallLog, NoGeneratedLogReachesOutsideItsBaseFolder) {
    const std::vector<std::wstring> pool = {
        L"[dircorrente]", L"[DirCorrente]", L"[file1]", L"[FILE2]", L"[rimuovidir]", L"-", L"-", L"C:\\P",
        L"\\\\srv\\sh\\Q", L"", L"\\", L"C:", L"C:\\", L"..", L"..\\..", L"a.txt", L"b c.dat",
        L"..\\x", L"C:\\Windows\\win.ini", L"\\x", L"x/y", L"\\\\?\\GLOBALROOT", L"s:t", L"*",
    };
    unsigned seed = 1;
    auto next = [&seed](size_t range) { return static_cast<size_t>((seed = seed * 1103515245 + 12345) >> 16) % range; };
    for (int round = 0; round < 30000; ++round) {
        std::vector<std::wstring> lines;
        for (size_t n = next(14); n > 0; --n) lines.push_back(pool[next(pool.size())]);
        const std::vector<Step> steps = ReadUninstallLog(lines);
        std::wstring base;
        for (const Step& step : steps) {
            if (step.kind == StepKind::Refuse) {
                ASSERT_EQ(steps.size(), 1u);
                continue;
            }
            if (step.kind == StepKind::SetBaseFolder) {
                base = step.path;
                ASSERT_TRUE(IsAbsoluteBelowRoot(base)) << base;
            }
            if (step.kind != StepKind::DeleteOneFile) continue;
            ASSERT_EQ(step.path.substr(0, base.size()), base);
            ASSERT_TRUE(IsPlainName(step.path.substr(base.size()))) << step.path;
        }
    }
}

TEST(UninstallLog, File4TakesExtensionThenFolder) {
    const std::vector<Step> steps =
        ReadUninstallLog({L"[File4]", L"HTML", L"C:\\Guida", L"-", L"[file4]", L"tmp"});
    ASSERT_EQ(steps.size(), 1u) << "a [file4] without its folder line does nothing";
    EXPECT_EQ(steps[0], (Step{StepKind::DeleteMatching, L"C:\\Guida", L"HTML", false}));
}

TEST(UninstallLog, TagOnTheLastLineWithoutArgumentDoesNothing) {
    // Read past the end, the argument would be empty and "" + "\" is the root of the drive.
    EXPECT_TRUE(ReadUninstallLog({L"[directory]"}).empty());
    EXPECT_TRUE(ReadUninstallLog({L"[dircorrente]"}).empty());
    EXPECT_TRUE(ReadUninstallLog({L"[file1]"}).empty());
    EXPECT_TRUE(ReadUninstallLog({L"[rimuovidirmsg]"}).empty());
    EXPECT_TRUE(ReadUninstallLog({}).empty());
    EXPECT_TRUE(ReadUninstallLog({L"", L"-", L"qualcosa", L"[file5]"}).empty());
}

TEST(UninstallLog, File4ComparesTheFirstThreeLettersOfTheExtension) {
    EXPECT_TRUE(MatchesExtension(L"indice.htm", L"htm"));
    EXPECT_TRUE(MatchesExtension(L"INDICE.HTM", L"hTm"));
    EXPECT_TRUE(MatchesExtension(L"a.b.htm", L"htm"));
    EXPECT_FALSE(MatchesExtension(L"indice.html", L"htm"));
    // A longer extension is cut to three letters, so its own files never match.
    EXPECT_FALSE(MatchesExtension(L"indice.html", L"html"));
    EXPECT_TRUE(MatchesExtension(L"indice.htm", L"html"));
    EXPECT_FALSE(MatchesExtension(L".nascosto.htm", L"htm"));
    EXPECT_FALSE(MatchesExtension(L"senza", L"htm"));
    EXPECT_FALSE(MatchesExtension(L"htm", L"htm"));
}

TEST(UninstallLog, LinesSplitAtCrLfOrLfAndDecodeFromAnsi) {
    EXPECT_EQ(SplitLogLines("a\r\nb\nc"), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(SplitLogLines("a\r\n\r\n-\r\n"), (std::vector<std::wstring>{L"a", L"", L"-"}));
    EXPECT_TRUE(SplitLogLines("").empty());
    EXPECT_EQ(SplitLogLines("C:\\Societ\xE0\r\n"), (std::vector<std::wstring>{L"C:\\Societ\u00e0"}));
    EXPECT_EQ(SplitLogLines(test::LogBytes(test::MainProgramLog(L"C:\\P"))).size(), 19u);
    // A NUL ends the line's text, as it would end the path given to the system.
    EXPECT_EQ(SplitLogLines(std::string("C:\\P\0\\..\\..\r\n[file1]\0x\r\nz", 25)),
              (std::vector<std::wstring>{L"C:\\P", L"[file1]", L"z"}));
}

}  // namespace
}  // namespace vt::sweepex
