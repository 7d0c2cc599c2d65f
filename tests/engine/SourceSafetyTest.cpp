// What the walk of a source leaves out, and says so: the folder of the copies inside the
// source, a folder it cannot list, a link back up the tree; and names the system would trim.
#include "EngineFixture.h"

#include <algorithm>
#include <cwctype>

#include "engine/SourceWalk.h"

namespace vt::test {
namespace {

using Lines = std::vector<std::wstring>;
using Files = std::map<std::wstring, std::string>;

const std::wstring kExcluded = L"Cartella esclusa dalla copia (contiene i backup) : ";
const std::wstring kUnreadable = L"Cartella non copiata (non leggibile) : ";

class SourceSafetyTest : public EngineTest {
protected:
    SourceSafetyTest() {
        source = temp / L"Dati";
        MakeFile(source + L"\\a.txt", "alfa");
        MakeFile(source + L"\\Sotto\\b.txt", "beta");
    }

    Lines Run() {
        host.log.clear();
        engine.RunJob(1);
        return host.LinesAfter(L"Tipo di backup : Cartelle");
    }
    Lines Closing(const std::wstring& text) const { return {text + LogTime()}; }

    std::wstring source;
    const Files kSource{{L"a.txt", "alfa"}, {L"Sotto", ""}, {L"Sotto\\b.txt", "beta"}};
};

std::wstring ShortPath(const std::wstring& path) {
    std::wstring out(MAX_PATH, L'\0');
    out.resize(GetShortPathNameW(path.c_str(), out.data(), MAX_PATH));
    return out;
}

TEST_F(SourceSafetyTest, TheCopiesInsideTheSourceAreNeverCopiedAgain) {
    Policy(false, false, true, 2);
    const std::wstring copies = source + L"\\Copie di sicurezza";
    ASSERT_TRUE(MakeFolder(copies));
    // The destination as another spelling of the same folder: its short name, other case,
    // "/" for "\", a ".." and a trailing separator.
    const std::wstring shortName = ShortPath(copies);
    ASSERT_NE(shortName.find(L'~'), std::wstring::npos);
    std::wstring spelled = shortName.substr(0, shortName.rfind(L'\\'));
    std::transform(spelled.begin(), spelled.end(), spelled.begin(), ::towlower);
    std::replace(spelled.begin() + 3, spelled.end(), L'\\', L'/');
    spelled += L"/Sotto/../" + shortName.substr(shortName.rfind(L'\\') + 1) + L"/";
    FolderJob(1, source, spelled);

    Lines expected{kExcluded + copies, L"Copia limitata nel numero effettuata : "};
    for (WORD hour : {10, 11, 12}) {
        SetNow(2013, 6, 6, hour, 0, 0);
        expected.back() = L"Copia limitata nel numero effettuata : " + LogTime();
        EXPECT_EQ(Run(), expected) << hour;
        EXPECT_EQ(Contents(ReadTree(copies + L"\\Dati_" + Stamp())), kSource) << hour;
    }
    EXPECT_EQ(FolderNames(copies).size(), 3u);
}

TEST_F(SourceSafetyTest, ADestinationMadeDuringTheCopyIsLeftOutAsWell) {
    Policy(false, true, false);
    // Made with the first copied file, before the walk lists Sotto.
    const std::wstring copies = source + L"\\Sotto\\Copie";
    FolderJob(1, source, copies);
    EXPECT_EQ(Run(), (Lines{kExcluded + copies, L"Copia infinita effettuata : " + LogTime()}));
    EXPECT_EQ(Contents(ReadTree(copies + L"\\Dati_" + Stamp())), kSource);
}

TEST_F(SourceSafetyTest, ASourceThatHoldsItsOwnCopiesLeavesOnlyThemOutAndSaysSoOnce) {
    Policy(false, true, false);
    MakeFolder(source + L"\\Dati_2013");  // not a dated copy: copied with the rest
    MakeFile(source + L"\\Dati_2013\\c.txt", "c");
    FolderJob(1, source, source + L"\\");
    EXPECT_EQ(Run(), Closing(L"Copia infinita effettuata : "));
    // One line per run names the folder that holds the copies, however many it holds.
    for (WORD hour : {10, 11}) {
        SetNow(2013, 6, 6, hour, 0, 0);
        EXPECT_EQ(Run(), (Lines{kExcluded + source, L"Copia infinita effettuata : " + LogTime()})) << hour;
    }
    EXPECT_EQ(FolderNames(source).size(), 5u);
    Files expected = kSource;
    expected.insert({{L"Dati_2013", ""}, {L"Dati_2013\\c.txt", "c"}});
    EXPECT_EQ(Contents(ReadTree(source + L"\\Dati_" + Stamp())), expected);
}

TEST_F(SourceSafetyTest, ADestinationInsideTheSourceLeavesOutOnlyTheDatedCopiesInIt) {
    Policy(false, true, false);
    const std::wstring copies = source + L"\\Documenti";
    MakeFile(copies + L"\\tesi.doc", "tesi");
    MakeFile(copies + L"\\Foto\\mare.jpg", "mare");
    MakeFile(copies + L"\\Dati_010613-080000\\a.txt", "vecchia");
    MakeFile(copies + L"\\File2_010613-080000\\f.txt", "di un altro lavoro");  // any copy name
    MakeFile(copies + L"\\Foto\\Dati_010613-080000\\g.jpg", "solo nella cartella delle copie");
    FolderJob(1, source, copies);
    for (WORD hour : {10, 11}) {
        SetNow(2013, 6, 6, hour, 0, 0);
        EXPECT_EQ(Run(), (Lines{kExcluded + copies, L"Copia infinita effettuata : " + LogTime()})) << hour;
        EXPECT_FALSE(LastRunFailed());
        Files expected = kSource;
        expected.insert({{L"Documenti", ""},
                         {L"Documenti\\tesi.doc", "tesi"},
                         {L"Documenti\\Foto", ""},
                         {L"Documenti\\Foto\\mare.jpg", "mare"},
                         {L"Documenti\\Foto\\Dati_010613-080000", ""},
                         {L"Documenti\\Foto\\Dati_010613-080000\\g.jpg", "solo nella cartella delle copie"}});
        EXPECT_EQ(Contents(ReadTree(copies + L"\\Dati_" + Stamp())), expected) << hour;
    }
}

TEST_F(SourceSafetyTest, AnEmptiedSourceRemovesNoCopyAndMakesNone) {
    const std::wstring dest = temp / L"Copie";
    MakeFile(dest + L"\\Dati_010613-080000\\a.txt", "vecchia");
    FolderJob(1, source, dest);
    RemoveLongTree(source);
    ASSERT_TRUE(MakeFolder(source));
    // Under every policy: a drive that came up empty never costs the copies, nor makes a new one.
    for (int policy = 0; policy < 3; ++policy) {
        Policy(policy == 0, policy == 1, policy == 2, 1);
        EXPECT_EQ(Run(), (Lines{L"Cartella sorgente vuota : " + source})) << policy;
        EXPECT_TRUE(LastRunFailed());
        EXPECT_FALSE(host.busy);
        EXPECT_EQ(FolderNames(dest), (Lines{L"Dati_010613-080000"})) << policy;
        EXPECT_EQ(ReadBytes(dest + L"\\Dati_010613-080000\\a.txt"), "vecchia");
    }
    // A source that holds only an empty folder is not empty; a first copy of an empty source
    // has nothing to protect.
    Policy(false, true, false);
    ASSERT_TRUE(MakeFolder(source + L"\\Vuota"));
    EXPECT_EQ(Run(), Closing(L"Copia infinita effettuata : "));
    RemoveLongTree(dest);
    RemoveLongTree(source + L"\\Vuota");
    EXPECT_EQ(Run(), Closing(L"Copia infinita effettuata : "));
    EXPECT_FALSE(LastRunFailed());
}

TEST_F(SourceSafetyTest, AFolderThatCannotBeListedIsLoggedAndTheRestIsCopied) {
    Policy(false, true, false);
    const std::wstring dest = temp / L"Copie";
    MakeFile(source + L"\\Sparita\\c.txt", "c");
    MakeFile(source + L"\\Zeta\\d.txt", "d");
    FolderJob(1, source, dest);
    VanishWhenListed(source + L"\\Sparita");
    EXPECT_EQ(Run(), (Lines{kUnreadable + source + L"\\Sparita", L"Copia infinita effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
    Files expected = kSource;
    expected.insert({{L"Zeta", ""}, {L"Zeta\\d.txt", "d"}});
    EXPECT_EQ(Contents(ReadTree(dest + L"\\Dati_" + Stamp())), expected);
}

TEST_F(SourceSafetyTest, ASourceRootThatCannotBeListedRemovesNoCopy) {
    Policy(true, false, false);
    const std::wstring dest = temp / L"Copie";
    MakeFile(dest + L"\\Dati_010613-080000\\a.txt", "vecchia");
    FolderJob(1, source, dest);
    VanishWhenListed(source);
    EXPECT_EQ(Run(), (Lines{kUnreadable + source}));
    EXPECT_TRUE(LastRunFailed());
    EXPECT_EQ(FolderNames(dest), (Lines{L"Dati_010613-080000"}));
    EXPECT_FALSE(host.busy);
}

TEST_F(SourceSafetyTest, NamesEndingInADotOrABlankAreCopiedAndRemovedAsTheyAre) {
    Policy(true, false, false);
    const std::wstring dest = temp / L"Copie";
    MakeFile(source + L"\\nota.", "con il punto");
    MakeFile(source + L"\\nota", "senza");
    MakeFile(source + L"\\Cartella\\nota ", "con lo spazio");
    MakeFile(source + L"\\Cartella\\nota", "senza spazio");
    FolderJob(1, source, dest);
    EXPECT_EQ(Run(), Closing(L"Singola copia effettuata : "));
    EXPECT_EQ(Contents(ReadTree(dest + L"\\Dati_" + Stamp())), Contents(ReadTree(source)));
    // The next run removes that copy whole, those names included.
    SetNow(2013, 6, 7, 9, 45, 0);
    EXPECT_EQ(Run(), Closing(L"Singola copia effettuata : "));
    EXPECT_EQ(FolderNames(dest), (Lines{L"Dati_" + Stamp()}));
}

TEST_F(SourceSafetyTest, ATypedSourceAndDestinationAreReadAsWindowsReadsThem) {
    Policy(false, true, false);
    // Typed with a trailing blank and dot, which Windows has always dropped from typed paths.
    FolderJob(1, source + L" ", temp / L"Copie.");
    EXPECT_EQ(Run(), Closing(L"Copia infinita effettuata : "));
    EXPECT_FALSE(LastRunFailed());
    EXPECT_EQ(FolderNames(temp.Path()), (Lines{L"Copie", L"Dati"}));
    EXPECT_EQ(Contents(ReadTree(temp / L"Copie\\Dati_" + Stamp())), kSource);
}

TEST(SourceWalk, ALinkBackToAFolderOnTheWayIsNotEntered) {
    // Wine cannot make junctions or symbolic links: the walk's choice is tested on identities,
    // which the file helpers' tests show to be one per folder whatever the path to it.
    const FileIdentity root{7, 100}, parent{7, 101}, sibling{7, 102}, otherVolume{8, 100};
    const std::vector<FileIdentity> onPath{root, parent};
    EXPECT_EQ(DecideSubFolder(false, root, onPath), SubFolderStep::SkipLoop);
    EXPECT_EQ(DecideSubFolder(false, parent, onPath), SubFolderStep::SkipLoop);
    // A link across to another branch ends by itself: it is walked.
    EXPECT_EQ(DecideSubFolder(false, sibling, onPath), SubFolderStep::Enter);
    EXPECT_EQ(DecideSubFolder(false, otherVolume, onPath), SubFolderStep::Enter);
    EXPECT_EQ(DecideSubFolder(false, std::nullopt, onPath), SubFolderStep::Enter);
    EXPECT_EQ(DecideSubFolder(true, sibling, onPath), SubFolderStep::ExcludeCopies);
    EXPECT_EQ(ShownFolder(L"C:\\Dati\\Sotto\\"), L"C:\\Dati\\Sotto");
    EXPECT_EQ(ShownFolder(L"C:\\"), L"C:\\");
}

TEST_F(SourceSafetyTest, AHiddenSystemFolderThatIsNoLinkStillFailsTheRunWhenUnreadable) {
    Policy(false, true, false);
    MakeFile(source + L"\\Sparita\\c.txt", "c");
    ASSERT_TRUE(SetFileAttributesW((source + L"\\Sparita").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    FolderJob(1, source, temp / L"Copie");
    VanishWhenListed(source + L"\\Sparita");
    EXPECT_EQ(Run(), (Lines{kUnreadable + source + L"\\Sparita", L"Copia infinita effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
}

TEST(SourceWalk, OnlyHiddenSystemLinksAreExpectedToBeUnreadable) {
    // Wine cannot make the junctions ("My Music", "Application Data"): the choice is tested on
    // every mix of the attributes and tags that matter.
    const DWORD bits[] = {FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                          FILE_ATTRIBUTE_REPARSE_POINT, FILE_ATTRIBUTE_READONLY};
    const DWORD kLink = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                        FILE_ATTRIBUTE_REPARSE_POINT;
    for (DWORD tag : {DWORD{IO_REPARSE_TAG_MOUNT_POINT}, DWORD{IO_REPARSE_TAG_SYMLINK}, DWORD{0x80000017}, DWORD{0}})
        for (unsigned mix = 0; mix < 32; ++mix) {
            FolderEntry entry{L"My Music", 0, tag};
            for (unsigned bit = 0; bit < 5; ++bit)
                if (mix & (1u << bit)) entry.attributes |= bits[bit];
            // Tag 0: how Wine shows a Unix symbolic link.
            const bool expected = (entry.attributes & kLink) == kLink &&
                                  (tag == IO_REPARSE_TAG_MOUNT_POINT || tag == IO_REPARSE_TAG_SYMLINK || tag == 0);
            EXPECT_EQ(UnreadableIsFailure(entry), !expected) << std::hex << entry.attributes << " " << tag;
        }
}

}  // namespace
}  // namespace vt::test
