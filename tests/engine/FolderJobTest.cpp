// Folder jobs against real folders: the copy, the stop key, and the removal of older copies.
#include "EngineFixture.h"
#include "engine/CopyPool.h"
#include "engine/Retention.h"
#include "engine/StopKey.h"
#include "settings/SettingsStore.h"
#include "win/Paths.h"

namespace vt::test {
namespace {

const std::wstring kCopying = L"ATTENDERE! Copia backup in corso... Premere <Esc> per fermare";
const std::wstring kRemoving = L"ATTENDERE! Rimozione copia backup in corso...";

class FolderJobTest : public EngineTest {
protected:
    FolderJobTest() {
        source = temp / L"Dati\\Documenti";
        dest = temp / L"Copie";
        MakeFile(source + L"\\a.txt", "alfa");
        MakeFolder(dest);
        FolderJob(1, source, dest);
    }
    // An earlier copy with a file inside, dated `stamp`.
    std::wstring OldCopy(const std::wstring& stamp) {
        const std::wstring folder = dest + L"\\Documenti_" + stamp;
        MakeFile(folder + L"\\a.txt", "vecchia");
        return folder;
    }
    std::wstring NewCopy() const { return dest + L"\\Documenti_" + Stamp(); }
    std::vector<std::wstring> Closing(const std::wstring& text) const { return {text + LogTime()}; }

    std::wstring source, dest;
};

TEST_F(FolderJobTest, LimitedKeepsTheNewestAndAddsOne) {
    Policy(false, false, true, 2);
    OldCopy(L"010613-080000");  // oldest
    OldCopy(L"311299-080000");  // 1999 counts as newest
    OldCopy(L"020613-080000");
    MakeFolder(dest + L"\\Documenti_2013");
    MakeFolder(dest + L"\\Documenti_010101-000000_vecchia");
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing(L"Copia limitata nel numero effettuata : "));
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{L"Documenti_010101-000000_vecchia", L"Documenti_020613-080000",
                                                             L"Documenti_060613-094500", L"Documenti_2013",
                                                             L"Documenti_311299-080000"}));
    EXPECT_EQ(ReadBytes(NewCopy() + L"\\a.txt"), "alfa");
    EXPECT_TRUE(host.Showed(kRemoving));
}

TEST_F(FolderJobTest, LimitedWithFewerCopiesRemovesNothing) {
    Policy(false, false, true, 2);
    OldCopy(L"010613-080000");
    OldCopy(L"020613-080000");
    engine.RunJob(1);
    EXPECT_EQ(FolderNames(dest).size(), 3u);
}

TEST_F(FolderJobTest, NoCopiesRemovesEveryEarlierCopyButHiddenOnesAndOthers) {
    Policy(true, false, false);
    OldCopy(L"010613-080000");
    OldCopy(L"020613-080000");
    // A read-only file inside an old copy is deleted all the same.
    const std::wstring readOnly = OldCopy(L"030613-080000") + L"\\sola.txt";
    MakeFile(readOnly, "r");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring hidden = OldCopy(L"040613-080000");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(dest + L"\\Altro_010613-080000");
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing(L"Singola copia effettuata : "));
    EXPECT_EQ(FolderNames(dest),
              (std::vector<std::wstring>{L"Altro_010613-080000", L"Documenti_040613-080000", L"Documenti_060613-094500"}));
}

TEST_F(FolderJobTest, AHiddenCopyIsNotCounted) {
    Policy(false, false, true, 1);
    SetFileAttributesW(OldCopy(L"010613-080000").c_str(), FILE_ATTRIBUTE_HIDDEN);
    OldCopy(L"020613-080000");
    engine.RunJob(1);
    EXPECT_EQ(FolderNames(dest).size(), 3u);
}

TEST_F(FolderJobTest, UnlimitedNeverRemoves) {
    Policy(false, true, false);
    OldCopy(L"010613-080000");
    OldCopy(L"020613-080000");
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing(L"Copia infinita effettuata : "));
    EXPECT_EQ(FolderNames(dest).size(), 3u);
    EXPECT_FALSE(host.Showed(kRemoving));
}

TEST_F(FolderJobTest, NoPolicyCopiesNothing) {
    Policy(false, false, false);
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), std::vector<std::wstring>{});
    EXPECT_TRUE(FolderNames(dest).empty());
}

TEST_F(FolderJobTest, SourcesWithTheSameNameShareTheirCopies) {
    Policy(false, false, true, 1);
    MakeFile(temp / L"Altri\\Documenti\\b.txt", "beta");
    // Trailing backslashes, as a user may type them, name the same folders.
    FolderJob(1, source, dest + L"\\");
    FolderJob(2, temp / L"Altri\\Documenti\\", dest);
    engine.RunJob(1);
    SetNow(2013, 6, 6, 10, 0, 0);
    engine.RunJob(2);
    SetNow(2013, 6, 6, 11, 0, 0);
    engine.RunJob(1);
    // The first job's own earlier copy was the oldest of the shared set.
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{L"Documenti_060613-100000", L"Documenti_060613-110000"}));
    EXPECT_EQ(ReadBytes(dest + L"\\Documenti_060613-100000\\b.txt"), "beta");
}

TEST_F(FolderJobTest, CopiesTheTreeExactlyAndLeavesTheSourceAlone) {
    Policy(false, true, false);
    MakeFile(source + L"\\.profilo", "dot file");
    MakeFile(source + L"\\nascosto.bin", std::string("\0\x01\xff\r\n", 5));
    SetFileAttributesW(Long(source + L"\\nascosto.bin").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFile(source + L"\\sola lettura.txt", "ro");
    SetFileAttributesW(Long(source + L"\\sola lettura.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeFile(source + L"\\A\\B\\profondo.txt", std::string(100000, 'x'));
    MakeFolder(source + L"\\Vuota\\Anche");
    MakeFile(source + L"\\.cache\\saltato.txt", "no");
    MakeFile(source + L"\\\u0141\u00f3d\u017a\\\u0395\u03bb\u03bb\u03ac\u03b4\u03b1.txt", "non 1252");
    std::wstring deep = source;
    for (int i = 0; deep.size() < 320; ++i) deep += L"\\cartella-piuttosto-lunga-" + std::to_wstring(i);
    MakeFile(deep + L"\\in fondo.txt", "deep");

    const Tree before = ReadTree(source);
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing(L"Copia infinita effettuata : "));
    EXPECT_EQ(ReadTree(source), before);

    // Expected: everything but the empty folders and the dot-folder.
    Tree expected = before;
    for (auto it = expected.begin(); it != expected.end();) {
        const bool skipped = it->first.rfind(L"Vuota", 0) == 0 || it->first.rfind(L".cache", 0) == 0;
        it = skipped ? expected.erase(it) : std::next(it);
    }
    const Tree copied = ReadTree(NewCopy());
    EXPECT_EQ(Contents(copied), Contents(expected));
    for (const auto& [path, entry] : expected) {
        if (!copied.count(path) || (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
        EXPECT_EQ(copied.at(path).attributes & kept, entry.attributes & kept) << path;
        EXPECT_EQ(copied.at(path).lastWrite, entry.lastWrite) << path;
    }
    EXPECT_GT(host.repaints, 0);
    EXPECT_FALSE(host.clocks.empty());
    EXPECT_EQ(host.clocks.front(), L"09.45");
}

TEST_F(FolderJobTest, OnlyFoldersHoldingFilesAreCreated) {
    Policy(false, true, false);
    DeleteFileW((source + L"\\a.txt").c_str());
    MakeFile(source + L"\\A\\B\\f.txt", "f");
    MakeFolder(source + L"\\A\\C");
    MakeFolder(source + L"\\D\\E");
    engine.RunJob(1);
    EXPECT_EQ(Contents(ReadTree(NewCopy())),
              (std::map<std::wstring, std::string>{{L"A", ""}, {L"A\\B", ""}, {L"A\\B\\f.txt", "f"}}));
}

TEST_F(FolderJobTest, ALockedFileIsLoggedAndSkipped) {
    Policy(false, true, false);
    MakeFile(source + L"\\bloccato.txt", "in uso");
    MakeFile(source + L"\\Sotto\\dopo.txt", "dopo");
    const HANDLE lock = CreateFileW((source + L"\\bloccato.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    engine.RunJob(1);
    CloseHandle(lock);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              (std::vector<std::wstring>{L"File non copiato (corrotto o in uso) : " + source + L"\\bloccato.txt",
                                         L"Copia infinita effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
    EXPECT_EQ(Contents(ReadTree(NewCopy())),
              (std::map<std::wstring, std::string>{{L"a.txt", "alfa"}, {L"Sotto", ""}, {L"Sotto\\dopo.txt", "dopo"}}));
}

TEST_F(FolderJobTest, EscAnsweredNoGoesOnAndYesStopsEverything) {
    Policy(true, false, false);
    MakeFile(source + L"\\b.txt", "b");
    for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt"}) MakeFile(source + L"\\Sotto\\" + name, "s");
    MakeFile(source + L"\\Sotto\\Dentro\\d.txt", "d");
    // One worker: the two root files and one of Sotto go through, the next one is in flight
    // when Esc is pressed the second time.
    SetCopyWorkers(1);
    CopyGate gate;
    PressEscWhen(
        [&] {
            if (escPolls == 1) return true;  // before the first file: answered No
            if (gate.Waiting() == 0) return false;
            if (gate.Passed() < 3) {
                gate.Let(1);
                return false;
            }
            return true;
        },
        {IDNO, IDYES});
    whileAsked = [&] {
        if (questions.size() == 2) gate.Open();
    };
    engine.RunJob(1);
    EXPECT_EQ(questions, (std::vector<std::wstring>(2, L"Conferma|Interrompere il Backup?")));
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              (std::vector<std::wstring>{L"Backup Bloccato da Utente.", L"Singola copia effettuata : " + LogTime()}));
    // The file in flight at the Yes is finished; no other starts.
    EXPECT_EQ(gate.Started().size(), 4u);
    const Tree copied = ReadTree(NewCopy());
    EXPECT_EQ(copied.count(L"a.txt") + copied.count(L"b.txt"), 2u);
    size_t inSubfolder = 0;
    for (const auto& [path, entry] : copied) inSubfolder += path.rfind(L"Sotto\\", 0) == 0;
    EXPECT_EQ(inSubfolder, 2u);
    EXPECT_EQ(copied.count(L"Sotto\\Dentro"), 0u);
    const std::vector<std::wstring> opening{L"ATTENDERE! Backup in corso...", kRemoving, kCopying,
                                            L"Backup Bloccato da Utente.", kCopying};
    ASSERT_GE(host.statuses.size(), opening.size() + 3);
    EXPECT_EQ(std::vector<std::wstring>(host.statuses.begin(), host.statuses.begin() + opening.size()), opening);
    EXPECT_EQ(std::vector<std::wstring>(host.statuses.end() - 3, host.statuses.end()),
              (std::vector<std::wstring>{L"Backup Bloccato da Utente.", L"ATTENDERE! Chiusura in corso...", L""}));
}

TEST_F(FolderJobTest, EscYesWhileRemovingLeavesTheRestAndCopiesNothing) {
    Policy(true, false, false);
    const std::wstring old = OldCopy(L"010613-080000");
    MakeFile(old + L"\\Sotto\\s1.txt", "1");
    MakeFile(old + L"\\Sotto\\s2.txt", "2");
    // Poll 1: the old copy's own file; poll 2: the first file of its sub-folder.
    PressEscAt({2}, {IDYES});
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              (std::vector<std::wstring>{L"Backup Bloccato da Utente.", L"Singola copia effettuata : " + LogTime()}));
    EXPECT_EQ(Contents(ReadTree(old)).size(), 3u);  // Sotto and its two files
    EXPECT_EQ(FolderNames(dest), std::vector<std::wstring>{L"Documenti_010613-080000"});
    EXPECT_TRUE(host.Showed(L"ATTENDERE... Chiusura in corso."));
}

// Another program holds a file open without delete sharing, as an indexer or an editor does.
class HeldFile {
public:
    explicit HeldFile(const std::wstring& path) {
        const std::wstring event = L"VaultickHeld" + std::to_wstring(GetCurrentProcessId());
        opened_ = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
        std::wstring line = L"\"" + FolderOf(ModuleFileName()) + L"\\engine_holder.exe\" \"" + path + L"\" " + event;
        STARTUPINFOW startup{sizeof startup};
        held = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_) &&
               WaitForSingleObject(opened_, 10000) == WAIT_OBJECT_0;
    }
    ~HeldFile() {
        Release();
        CloseHandle(opened_);
    }
    void Release() {
        if (!process_.hProcess) return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    bool held = false;

private:
    HANDLE opened_ = nullptr;
    PROCESS_INFORMATION process_{};
};

TEST_F(FolderJobTest, AFileHeldByAnotherProgramKeepsItsCopyAndTheBackupIsMade) {
    Policy(false, false, true, 2);
    const std::wstring oldest = OldCopy(L"010613-080000");
    MakeFile(oldest + L"\\Sotto\\b.txt", "b");
    OldCopy(L"020613-080000");
    OldCopy(L"030613-080000");
    HeldFile file(oldest + L"\\a.txt");
    ASSERT_TRUE(file.held);
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              (std::vector<std::wstring>{L"Copia precedente non rimossa : " + oldest,
                                         L"Copia limitata nel numero effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
    // No healthy copy was removed in its place.
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{L"Documenti_010613-080000", L"Documenti_020613-080000",
                                                             L"Documenti_030613-080000", L"Documenti_060613-094500"}));
    EXPECT_EQ(Contents(ReadTree(oldest)), (std::map<std::wstring, std::string>{{L"a.txt", "vecchia"}}));
    EXPECT_EQ(ReadBytes(NewCopy() + L"\\a.txt"), "alfa");

    // Once the file is let go, the next run catches up with the policy.
    file.Release();
    SetNow(2013, 6, 7, 9, 45, 0);
    host.log.clear();
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing(L"Copia limitata nel numero effettuata : "));
    EXPECT_FALSE(LastRunFailed());
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{L"Documenti_030613-080000", L"Documenti_060613-094500",
                                                             L"Documenti_070613-094500"}));
}

TEST_F(FolderJobTest, UnderNoCopiesACopyThatStaysIsLoggedAndTheOthersGo) {
    Policy(true, false, false);
    const std::wstring stuck = OldCopy(L"020613-080000");
    MakeFile(stuck + L"\\.keep\\x.txt", "x");  // never entered, so the copy cannot go
    OldCopy(L"010613-080000");
    OldCopy(L"030613-080000");
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              (std::vector<std::wstring>{L"Copia precedente non rimossa : " + stuck,
                                         L"Singola copia effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{L"Documenti_020613-080000", L"Documenti_060613-094500"}));
    EXPECT_EQ(ReadBytes(NewCopy() + L"\\a.txt"), "alfa");
}

// The last complete copy: runs that were stopped or failed never cost the user the one copy
// that holds everything.
class LastCompleteTest : public FolderJobTest {
protected:
    LastCompleteTest() {
        for (int i = 0; i < 12; ++i) MakeFile(source + L"\\Sotto\\f" + std::to_wstring(i) + L".txt", "dato");
        MakeFile(source + L"\\bloccato.txt", "in uso");
    }
    std::wstring CopyAt(WORD hour) const {
        return dest + L"\\Documenti_060613-" + (hour < 10 ? L"0" : L"") + std::to_wstring(hour) + L"0000";
    }
    std::wstring Name(WORD hour) const { return CopyAt(hour).substr(dest.size() + 1); }
    // A run at the hour; held: bloccato.txt is held open without sharing, as the run copies.
    void RunAt(WORD hour, bool held) {
        SetNow(2013, 6, 6, hour, 0, 0);
        host.log.clear();
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (held) lock = CreateFileW((source + L"\\bloccato.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_EQ(held, lock != INVALID_HANDLE_VALUE);
        engine.RunJob(1);
        if (held) CloseHandle(lock);
        EXPECT_EQ(LastRunFailed(), held) << hour;
    }
    std::wstring Recorded() const {
        return SettingsStore().ReadString(L"Vaultick1", L"UltimaCompleta", L"<none>");
    }
};

TEST_F(LastCompleteTest, LimitedKeepsTheLastCompleteCopyInPlaceOfANewerFailedOne) {
    Policy(false, false, true, 1);
    RunAt(10, false);
    const Tree complete = ReadTree(CopyAt(10));
    ASSERT_EQ(Contents(complete), Contents(ReadTree(source)));
    EXPECT_EQ(Recorded(), CopyAt(10));
    RunAt(11, true);
    RunAt(12, true);
    // The complete copy counts as the one copy kept; the failed one of 11:00 went in its place.
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(10), Name(12)}));
    EXPECT_EQ(ReadTree(CopyAt(10)), complete);
    EXPECT_EQ(Recorded(), CopyAt(10));
    // The next complete run takes over, and the copy kept only for that rule goes at its end.
    RunAt(13, false);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing(L"Copia limitata nel numero effettuata : "));
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(13)}));
    EXPECT_EQ(Recorded(), CopyAt(13));
    // From then on the policy is as it always was.
    RunAt(14, false);
    RunAt(15, false);
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(14), Name(15)}));
}

TEST_F(LastCompleteTest, NoCopiesRemovesTheLastCompleteCopyOnlyAfterANewCompleteOne) {
    Policy(true, false, false);
    RunAt(10, false);
    const Tree complete = ReadTree(CopyAt(10));
    RunAt(11, true);
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(10), Name(11)}));
    RunAt(12, true);
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(10), Name(12)}));
    EXPECT_EQ(ReadTree(CopyAt(10)), complete);
    // A run stopped with Esc is no complete copy either.
    escPolls = 0;
    PressEscAt({1}, {IDYES});
    SetNow(2013, 6, 6, 13, 0, 0);
    engine.RunJob(1);
    EXPECT_FALSE(LastRunFailed());
    SetEscapeSeam([] { return false; });
    EXPECT_EQ(ReadTree(CopyAt(10)), complete);
    EXPECT_EQ(Recorded(), CopyAt(10));
    RunAt(14, false);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing(L"Singola copia effettuata : "));
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(14)}));
    EXPECT_EQ(Recorded(), CopyAt(14));
}

TEST_F(LastCompleteTest, ASecondCompleteRunInTheSameSecondKeepsItsCopy) {
    // Both runs write into one dated folder: the copy the first recorded is the second's own.
    Policy(true, false, false);
    RunAt(10, false);
    RunAt(10, false);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing(L"Singola copia effettuata : "));
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(10)}));
    EXPECT_EQ(Contents(ReadTree(CopyAt(10))), Contents(ReadTree(source)));
    EXPECT_EQ(Recorded(), CopyAt(10));
}

TEST_F(LastCompleteTest, AnotherJobsLastCompleteCopyInTheSameDestinationIsKeptToo) {
    Policy(false, false, true, 1);
    FolderJob(2, temp / L"Altri\\Documenti", dest);
    MakeFile(temp / L"Altri\\Documenti\\b.txt", "beta");
    SetNow(2013, 6, 6, 10, 0, 0);
    engine.RunJob(2);
    RunAt(11, true);
    RunAt(12, true);
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(10), Name(12)}));
    EXPECT_EQ(ReadBytes(CopyAt(10) + L"\\b.txt"), "beta");
    // The first job's complete run does not take the second job's copy away.
    RunAt(13, false);
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{Name(10), Name(13)}));
}

TEST(Retention, ADatedCopyThatIsALinkIsRemovedAsALink) {
    // Wine cannot make junctions or symbolic links, so the choice is tested on listed entries.
    constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY, kReparse = kFolder | FILE_ATTRIBUTE_REPARSE_POINT;
    constexpr DWORD kDedup = 0x80000013, kCloud = 0x9000001A;
    const std::vector<FolderEntry> listed{
        {L"Doc_010613-080000", kReparse, IO_REPARSE_TAG_MOUNT_POINT},
        {L"Doc_020613-080000", kReparse, IO_REPARSE_TAG_SYMLINK},
        {L"Doc_030613-080000", kReparse, kDedup},
        {L"Doc_040613-080000", kReparse, kCloud},
        {L"Doc_050613-080000", kFolder, 0},
        {L"Doc_050613-090000", kReparse, 0},  // a Unix symbolic link under Wine
        {L"Doc_000613-080000", FILE_ATTRIBUTE_ARCHIVE, 0},                       // a file, not a copy
        {L"Doc_000613-070000", kReparse | FILE_ATTRIBUTE_HIDDEN, IO_REPARSE_TAG_MOUNT_POINT},  // never touched
        {L"Doc_000613-060000", kFolder | FILE_ATTRIBUTE_SYSTEM, 0},
    };
    const std::vector<FolderEntry> removed = OldCopiesToRemove(listed, L"Doc", 1);
    constexpr CopyRemoval kLink = CopyRemoval::Link, kTree = CopyRemoval::Tree;
    std::vector<std::pair<std::wstring, CopyRemoval>> got;
    for (const FolderEntry& entry : removed) got.emplace_back(entry.name, RemovalOf(entry));
    EXPECT_EQ(got, (std::vector<std::pair<std::wstring, CopyRemoval>>{{L"Doc_010613-080000", kLink},
                                                                       {L"Doc_020613-080000", kLink},
                                                                       {L"Doc_030613-080000", kTree},
                                                                       {L"Doc_040613-080000", kTree},
                                                                       {L"Doc_050613-080000", kTree}}));
    // The same choice inside a copy; a reparse tag without the reparse attribute means nothing.
    EXPECT_EQ(RemovalOf({L"Sotto", kFolder, IO_REPARSE_TAG_MOUNT_POINT}), kTree);
    EXPECT_EQ(RemovalOf({L"Sotto", kReparse | FILE_ATTRIBUTE_READONLY, IO_REPARSE_TAG_SYMLINK}), kLink);
    EXPECT_EQ(RemovalOf({L"Sotto", kReparse, 0}), kLink);
    EXPECT_EQ(OldCopiesToRemove(listed, L"Doc", 0).size(), 6u);
    EXPECT_TRUE(OldCopiesToRemove(listed, L"Doc", 6).empty());
}

TEST_F(FolderJobTest, SourceAndDestinationChecks) {
    Policy(false, true, false);
    struct Case {
        std::wstring source, destination, line;
    } cases[] = {
        {temp / L"Manca", dest, L"Cartella sorgente inesistente."},
        {temp / L"Dati\\Documenti\\a.txt", dest, L"Cartella sorgente inesistente."},
        {L"", dest, L"Percorso sorgente non pronto : "},
        {L"Q:\\Dati", dest, L"Percorso sorgente non pronto : Q:\\Dati"},
        {source, L"Q:\\Copie", L"Percorso destinazione non pronto : Q:\\Copie\\Documenti_" + Stamp()},
    };
    for (const Case& c : cases) {
        host.log.clear();
        FolderJob(1, c.source, c.destination);
        engine.RunJob(1);
        EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), std::vector<std::wstring>{c.line}) << c.source;
        EXPECT_TRUE(FolderNames(dest).empty());
        EXPECT_FALSE(host.busy);
    }
}

}  // namespace
}  // namespace vt::test
