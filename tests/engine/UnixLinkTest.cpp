// The link rules against real links: Unix symbolic links made from the Linux side, which Wine
// shows as reparse points without a tag. A link is followed in the source only where it does not
// lead back up the tree; a copy's link is never entered, linked through or removed with what it
// leads to.
#include <algorithm>

#include "EngineFixture.h"
#include "settings/JobNames.h"

namespace vt::test {
namespace {

using Lines = std::vector<std::wstring>;
using Files = std::map<std::wstring, std::string>;

class UnixLinkTest : public EngineTest {
protected:
    UnixLinkTest() {
        source = temp / L"Dati\\Documenti";
        dest = temp / L"Copie";
        MakeFile(source + L"\\a.txt", "alfa");
        MakeFile(source + L"\\Sotto\\b.txt", "beta");
        MakeFolder(dest);
        FolderJob(1, source, dest);
    }
    Lines RunAt(WORD hour) {
        SetNow(2013, 6, 6, hour, 0, 0);
        host.log.clear();
        engine.RunJob(1);
        return host.LinesAfter(L"Tipo di backup : Cartelle");
    }
    std::wstring CopyAt(WORD hour) const {
        return dest + L"\\Documenti_060613-" + (hour < 10 ? L"0" : L"") + std::to_wstring(hour) + L"0000";
    }

    std::wstring source, dest;
};

TEST_F(UnixLinkTest, ALinkBackUpTheSourceIsNamedAndNotFollowed) {
    Policy(false, true, false);
    UnixLink loop(source, source + L"\\Sotto\\Giro");
    ASSERT_TRUE(loop.made);
    // A link across to a folder off the way down is copied like any folder.
    MakeFile(temp / L"Altrove\\c.txt", "gamma");
    UnixLink across(temp / L"Altrove", source + L"\\Accanto");
    ASSERT_TRUE(across.made);
    const Lines lines = RunAt(10);
    EXPECT_EQ(lines, (Lines{L"Cartella non copiata (collegamento circolare) : " + source + L"\\Sotto\\Giro",
                            L"Copia infinita effettuata : " + LogTime()}));
    EXPECT_FALSE(LastRunFailed());
    EXPECT_EQ(Contents(ReadTree(CopyAt(10))), (Files{{L"a.txt", "alfa"},
                                                     {L"Accanto", ""},
                                                     {L"Accanto\\c.txt", "gamma"},
                                                     {L"Sotto", ""},
                                                     {L"Sotto\\b.txt", "beta"}}));
}

TEST_F(UnixLinkTest, ADatedCopyThatIsALinkKeepsWhatItLeadsTo) {
    Policy(true, false, false);
    MakeFile(temp / L"Lavoro\\tesi.doc", "tesi");
    MakeFile(temp / L"Lavoro\\Foto\\mare.jpg", "mare");
    MakeFolder(temp / L"Vuota");
    const Tree work = ReadTree(temp / L"Lavoro");
    UnixLink full(temp / L"Lavoro", dest + L"\\Documenti_010613-080000");
    UnixLink empty(temp / L"Vuota", dest + L"\\Documenti_020613-080000");
    ASSERT_TRUE(full.made && empty.made);
    Lines lines = RunAt(10);
    // Wine's link cannot be removed without touching what it leads to: it stays, and says so
    // (in the order the destination lists them).
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (Lines{L"Copia precedente non rimossa : " + dest + L"\\Documenti_010613-080000",
                            L"Copia precedente non rimossa : " + dest + L"\\Documenti_020613-080000",
                            L"Singola copia effettuata : " + LogTime()}));
    EXPECT_EQ(ReadTree(temp / L"Lavoro"), work);
    EXPECT_EQ(FolderNames(temp.Path()), (Lines{L"Copie", L"Dati", L"Lavoro", L"Vuota"}));
    EXPECT_EQ(Contents(ReadTree(CopyAt(10))), Contents(ReadTree(source)));
}

TEST_F(UnixLinkTest, ALinkInsideThePreviousCopyIsNeverLinkedThroughNorEmptied) {
    Policy(false, false, true, 1);
    SetBool(kCopiesSection, L"Collega", true);
    RunAt(9);
    // The previous copy's Sotto becomes a link to a folder outside the copies whose b.txt looks
    // exactly like the source's.
    RemoveLongTree(CopyAt(9) + L"\\Sotto");
    MakeFolder(temp / L"Fuori");
    ASSERT_TRUE(CopyFileW((source + L"\\Sotto\\b.txt").c_str(), (temp / L"Fuori\\b.txt").c_str(), TRUE));
    UnixLink inside(temp / L"Fuori", CopyAt(9) + L"\\Sotto");
    ASSERT_TRUE(inside.made);
    const Lines second = RunAt(10);
    EXPECT_EQ(second, (Lines{L"Copia limitata nel numero effettuata : " + LogTime()}));
    const FileInfo outside = InfoOf(temp / L"Fuori\\b.txt"), copied = InfoOf(CopyAt(10) + L"\\Sotto\\b.txt");
    EXPECT_NE(copied.index, outside.index);
    EXPECT_EQ(copied.links, 1u);
    EXPECT_EQ(outside.links, 1u);
    EXPECT_EQ(InfoOf(CopyAt(10) + L"\\a.txt").links, 2u);  // shared with the copy of 09:00

    // The copy of 09:00 is the oldest now: its own file goes, the link and what it leads to stay.
    const Lines lines = RunAt(11);
    EXPECT_EQ(lines, (Lines{L"Copia precedente non rimossa : " + CopyAt(9),
                            L"Copia limitata nel numero effettuata : " + LogTime()}));
    EXPECT_EQ(ReadBytes(temp / L"Fuori\\b.txt"), "beta");
    EXPECT_EQ(ReadTree(CopyAt(10)).count(L"Sotto\\b.txt"), 1u);
}

}  // namespace
}  // namespace vt::test
