// "Collega i file invariati": a copy shares the files that did not change with the previous copy
// through hard links, which Wine makes on its own file system, and copies everything else.
#include <atomic>
#include <random>

#include "EngineFixture.h"
#include "engine/CopyNaming.h"
#include "engine/CopyPool.h"
#include "engine/LinkedCopy.h"
#include "settings/FileListFile.h"
#include "settings/JobNames.h"

namespace vt::test {
namespace {

void SetWriteTime(const std::wstring& path, ULONGLONG time) {
    const HANDLE file = CreateFileW(Long(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const FILETIME stamp{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    CloseHandle(file);
}

class SharingTest : public EngineTest {
protected:
    SharingTest() {
        source = temp / L"Dati\\Documenti";
        dest = temp / L"Copie";
        MakeFile(source + L"\\a.txt", "alfa");
        MakeFile(source + L"\\Sotto\\b.txt", "beta");
        MakeFile(source + L"\\c.txt", "gamma");
        MakeFile(source + L"\\e.txt", "epsilon");
        MakeFolder(dest);
        FolderJob(1, source, dest);
        Policy(false, false, true, 2);
        SetBool(kCopiesSection, L"Collega", true);
    }
    std::wstring CopyAt(WORD hour) const {
        return dest + L"\\Documenti_060613-" + (hour < 10 ? L"0" : L"") + std::to_wstring(hour) + L"0000";
    }
    void RunAt(WORD hour) {
        SetNow(2013, 6, 6, hour, 0, 0);
        host.log.clear();
        engine.RunJob(1);
    }
    // Between two runs: c.txt grows, e.txt keeps its size with a newer time, d.txt is new.
    void ChangeSome() {
        MakeFile(source + L"\\c.txt", "gamma nuova");
        MakeFile(source + L"\\e.txt", "EPSILON");
        SetWriteTime(source + L"\\e.txt", ReadTree(source).at(L"e.txt").lastWrite + 10000000);
        MakeFile(source + L"\\d.txt", "delta");
    }
    bool Shared(const std::wstring& relative, WORD older, WORD newer) const {
        const FileInfo a = InfoOf(CopyAt(older) + L"\\" + relative), b = InfoOf(CopyAt(newer) + L"\\" + relative);
        return a.index != 0 && a.index == b.index && b.links == 2;
    }
    void FileListJob() {
        SetBool(kMainSection, L"TipoDir", false);
        SetBool(kMainSection, L"TipoFile", true);
        SetString(kMainSection, L"DestinazioneFile", dest);
    }
    std::vector<std::wstring> Closing() const { return {L"Copia limitata nel numero effettuata : " + LogTime()}; }

    std::wstring source, dest;
};

TEST_F(SharingTest, ASecondCopySharesWhatDidNotChangeAndCopiesTheRest) {
    RunAt(10);
    const Tree first = ReadTree(CopyAt(10));
    ChangeSome();
    RunAt(11);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing());
    EXPECT_FALSE(LastRunFailed());
    EXPECT_TRUE(Shared(L"a.txt", 10, 11));
    EXPECT_TRUE(Shared(L"Sotto\\b.txt", 10, 11));
    for (const wchar_t* copied : {L"c.txt", L"d.txt", L"e.txt"})
        EXPECT_EQ(InfoOf(CopyAt(11) + L"\\" + copied).links, 1u) << copied;
    // The new copy is the source as it is now, times included; the older one is as it was.
    const Tree now = ReadTree(source), second = ReadTree(CopyAt(11));
    EXPECT_EQ(Contents(second), Contents(now));
    for (const auto& [path, entry] : now) EXPECT_EQ(second.at(path).lastWrite, entry.lastWrite) << path;
    EXPECT_EQ(ReadTree(CopyAt(10)), first);

    // A later change of the source touches neither copy.
    MakeFile(source + L"\\a.txt", "ALFA");
    EXPECT_EQ(ReadBytes(CopyAt(10) + L"\\a.txt"), "alfa");
    EXPECT_EQ(ReadBytes(CopyAt(11) + L"\\a.txt"), "alfa");
}

TEST_F(SharingTest, WithTheSwitchOffEveryFileIsCopied) {
    // Nothing stored, then "0": both are off.
    ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Dorvi\\DorviVaultick3.7\\NrBackup", L"Collega"), ERROR_SUCCESS);
    RunAt(10);
    RunAt(11);
    SetBool(kCopiesSection, L"Collega", false);
    RunAt(12);
    for (WORD hour : {11, 12})
        for (const auto& [path, entry] : ReadTree(CopyAt(hour)))
            if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                EXPECT_EQ(InfoOf(CopyAt(hour) + L"\\" + path).links, 1u) << path;
            }
}

TEST_F(SharingTest, LinksThatCannotBeMadeFallBackToCopies) {
    RunAt(10);
    for (int i = 0; i < 20; ++i) MakeFile(source + L"\\Altri\\f" + std::to_wstring(i) + L".txt", "f");
    RunAt(11);
    struct Case {
        DWORD error;
        unsigned workers;
        int attempts;  // over the 24 unchanged files
    } cases[] = {{ERROR_NOT_SUPPORTED, 1, 1}, {ERROR_INVALID_FUNCTION, 1, 1}, {ERROR_TOO_MANY_LINKS, 1, 24},
                 {ERROR_ACCESS_DENIED, 4, 24}};
    WORD hour = 12;
    for (const Case& c : cases) {
        std::atomic<int> attempts{0};
        SetLinkSeam([&](const std::wstring&, const std::wstring&) {
            ++attempts;
            SetLastError(c.error);
            return false;
        });
        SetCopyWorkers(c.workers);
        RunAt(hour);
        EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"), Closing()) << c.error;
        EXPECT_FALSE(LastRunFailed()) << c.error;  // a file copied instead of linked is no failure
        EXPECT_EQ(attempts.load(), c.attempts) << c.error;
        EXPECT_EQ(Contents(ReadTree(CopyAt(hour))), Contents(ReadTree(source))) << c.error;
        EXPECT_EQ(InfoOf(CopyAt(hour) + L"\\a.txt").links, 1u) << c.error;
        ++hour;
    }
}

TEST_F(SharingTest, RemovingTheOlderCopyLeavesTheNewerWhole) {
    Policy(false, false, true, 1);
    SetFileAttributesW(Long(source + L"\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    RunAt(10);
    RunAt(11);
    ASSERT_TRUE(Shared(L"a.txt", 10, 11));
    const Tree second = ReadTree(CopyAt(11));
    RunAt(12);  // removes the copy of 10:00, whose files the copy of 11:00 shares
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{L"Documenti_060613-110000", L"Documenti_060613-120000"}));
    EXPECT_EQ(ReadTree(CopyAt(11)), second);
    EXPECT_TRUE(GetFileAttributesW(Long(CopyAt(11) + L"\\a.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Shared(L"a.txt", 11, 12));
    SetFileAttributesW(Long(source + L"\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SharingTest, AFileListNameListedTwiceReplacesTheSharedFileInsteadOfWritingIntoIt) {
    FileListJob();
    MakeFile(temp / L"a\\nota.txt", "prima");
    MakeFile(temp / L"b\\nota.txt", "seconda");
    MakeFile(temp / L"a\\resta.txt", "resta");
    ASSERT_TRUE(WriteFileList(FileListPath(temp.Path(), 1), {temp / L"a\\nota.txt", temp / L"a\\resta.txt"}));
    RunAt(10);
    ASSERT_TRUE(WriteFileList(FileListPath(temp.Path(), 1),
                              {temp / L"a\\nota.txt", temp / L"a\\resta.txt", temp / L"b\\nota.txt"}));
    RunAt(11);
    const std::wstring older = dest + L"\\File1_060613-100000", newer = dest + L"\\File1_060613-110000";
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"), Closing());
    EXPECT_EQ(ReadBytes(older + L"\\nota.txt"), "prima");
    EXPECT_EQ(ReadBytes(newer + L"\\nota.txt"), "seconda");
    EXPECT_EQ(InfoOf(newer + L"\\nota.txt").links, 1u);
    EXPECT_EQ(InfoOf(newer + L"\\resta.txt").index, InfoOf(older + L"\\resta.txt").index);
}

TEST_F(SharingTest, AFileHeldWithoutSharingIsNotLinkedButFailsAsItsCopyWould) {
    RunAt(10);
    const HANDLE lock = CreateFileW(Long(source + L"\\a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    RunAt(11);
    CloseHandle(lock);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              (std::vector<std::wstring>{L"File non copiato (corrotto o in uso) : " + source + L"\\a.txt",
                                         L"Copia limitata nel numero effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
    EXPECT_EQ(ReadTree(CopyAt(11)).count(L"a.txt"), 0u);
    EXPECT_EQ(InfoOf(CopyAt(10) + L"\\a.txt").links, 1u);
    EXPECT_TRUE(Shared(L"Sotto\\b.txt", 10, 11));  // the others are shared as ever
}

TEST_F(SharingTest, AFileListLinksOnlyTheNamesThatOccurOnce) {
    FileListJob();
    // Two notes of one size and one time: the previous copy's nota.txt looks unchanged to both.
    MakeFile(temp / L"a\\nota.txt", "prima");
    MakeFile(temp / L"b\\nota.txt", "dopo!");
    MakeFile(temp / L"a\\resta.txt", "resta");
    SetWriteTime(temp / L"b\\nota.txt", ReadTree(temp / L"a").at(L"nota.txt").lastWrite);
    ASSERT_TRUE(WriteFileList(FileListPath(temp.Path(), 1),
                              {temp / L"a\\nota.txt", temp / L"b\\NOTA.txt", temp / L"a\\resta.txt"}));
    RunAt(10);
    const std::wstring older = dest + L"\\File1_060613-100000", newer = dest + L"\\File1_060613-110000";
    ASSERT_EQ(ReadBytes(older + L"\\nota.txt"), "dopo!");
    // The second note is gone: the first is the one nota.txt of this copy, and must be itself.
    ASSERT_TRUE(DeleteFileW((temp / L"b\\nota.txt").c_str()));
    RunAt(11);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"),
              (std::vector<std::wstring>{L"File non copiato (corrotto o in uso) : " + (temp / L"b\\NOTA.txt"),
                                         Closing()[0]}));
    EXPECT_EQ(ReadBytes(newer + L"\\nota.txt"), "prima");
    EXPECT_EQ(ReadBytes(older + L"\\nota.txt"), "dopo!");
    EXPECT_EQ(InfoOf(newer + L"\\nota.txt").links, 1u);
    // A name listed once is shared as ever.
    EXPECT_EQ(InfoOf(newer + L"\\resta.txt").index, InfoOf(older + L"\\resta.txt").index);
    EXPECT_EQ(InfoOf(newer + L"\\resta.txt").links, 2u);
}

TEST(LinkDecisions, OnlyAnUnchangedPlainFileIsShared) {
    const FileStamp source{5, 1000, FILE_ATTRIBUTE_ARCHIVE};
    EXPECT_TRUE(Unchanged(source, {5, 1000, 0}));  // the archive flag is not the file's content
    EXPECT_TRUE(Unchanged({5, 1000, FILE_ATTRIBUTE_READONLY}, {5, 1000, FILE_ATTRIBUTE_READONLY}));
    EXPECT_FALSE(Unchanged(source, {6, 1000, 0}));
    EXPECT_FALSE(Unchanged(source, {5, 1001, 0}));
    EXPECT_FALSE(Unchanged(source, {5, 1000, FILE_ATTRIBUTE_HIDDEN}));
    EXPECT_FALSE(Unchanged({5, 1000, FILE_ATTRIBUTE_SYSTEM}, {5, 1000, 0}));
    EXPECT_FALSE(Unchanged(source, {5, 1000, FILE_ATTRIBUTE_REPARSE_POINT}));
    EXPECT_FALSE(Unchanged({5, 1000, FILE_ATTRIBUTE_REPARSE_POINT}, {5, 1000, FILE_ATTRIBUTE_REPARSE_POINT}));
    EXPECT_FALSE(Unchanged(source, {5, 1000, FILE_ATTRIBUTE_DIRECTORY}));

    for (DWORD error : {ERROR_TOO_MANY_LINKS, ERROR_ALREADY_EXISTS, ERROR_FILE_EXISTS, ERROR_FILE_NOT_FOUND,
                        ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION})
        EXPECT_FALSE(LinkErrorEndsSharing(error)) << error;
    for (DWORD error : {DWORD(ERROR_NOT_SUPPORTED), DWORD(ERROR_INVALID_FUNCTION), DWORD(ERROR_NOT_SAME_DEVICE),
                        DWORD(ERROR_INVALID_PARAMETER), DWORD(ERROR_BAD_NET_RESP)})
        EXPECT_TRUE(LinkErrorEndsSharing(error)) << error;
}

TEST(LinkDecisions, ThePreviousCopyIsTheNewestOfOurOwnAmongAnyListing) {
    constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;
    const std::vector<FolderEntry> fixed{{L"Doc_010613-080000", kFolder},
                                         {L"doc_311299-080000", kFolder},  // 1999 counts as newest
                                         {L"Doc_020613-080000", kFolder},
                                         {L"Doc_060613-094500", kFolder}};
    EXPECT_EQ(PreviousCopyName(fixed, L"Doc", L"Doc_060613-094500"), L"doc_311299-080000");
    EXPECT_EQ(PreviousCopyName({{L"Doc_060613-094500", kFolder}}, L"Doc", L"DOC_060613-094500"), L"");

    // Generated destinations: whatever they hold, the choice is one of our own dated folders,
    // never this run's, never hidden, system, a link or a file, and none eligible is newer.
    std::mt19937 random(7);
    const wchar_t* names[] = {L"Doc", L"doc", L"Docs", L"Do", L"Altro"};
    const DWORD kinds[] = {kFolder, kFolder, kFolder, 0, kFolder | FILE_ATTRIBUTE_HIDDEN, kFolder | FILE_ATTRIBUTE_SYSTEM,
                           kFolder | FILE_ATTRIBUTE_REPARSE_POINT};
    for (int round = 0; round < 2000; ++round) {
        std::vector<FolderEntry> listed;
        const int count = static_cast<int>(random() % 8);
        for (int i = 0; i < count; ++i) {
            std::wstring name = names[random() % 5];
            name += random() % 8 ? L"_" : L"-";
            for (int d = 0; d < 13; ++d) name += d == 6 ? (random() % 10 ? L'-' : L'x') : static_cast<wchar_t>(L'0' + random() % 3);
            if (random() % 10 == 0) name += L"z";
            listed.push_back({name, kinds[random() % 7], IO_REPARSE_TAG_MOUNT_POINT});
        }
        const std::wstring thisCopy = listed.empty() || random() % 2 ? L"Doc_000000-000000" : listed[0].name;
        auto eligible = [&](const FolderEntry& e) {
            return e.attributes == kFolder && IsDatedCopyOf(e.name, L"Doc") && _wcsicmp(e.name.c_str(), thisCopy.c_str()) != 0;
        };
        const std::wstring chosen = PreviousCopyName(listed, L"Doc", thisCopy);
        const auto at = std::find_if(listed.begin(), listed.end(), [&](const FolderEntry& e) { return e.name == chosen; });
        const bool any = std::any_of(listed.begin(), listed.end(), eligible);
        ASSERT_EQ(!chosen.empty(), any) << round;
        if (chosen.empty()) continue;
        ASSERT_TRUE(at != listed.end() && eligible(*at)) << round;
        for (const FolderEntry& e : listed)
            if (eligible(e)) {
                ASSERT_LE(SortKey(e.name, L"Doc"), SortKey(chosen, L"Doc")) << round;
            }
    }
}

}  // namespace
}  // namespace vt::test
