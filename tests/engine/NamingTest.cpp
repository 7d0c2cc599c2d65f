// Names, sort keys, retention choice, copy policy, data kind, intervals and time stamps.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "engine/BackupEngine.h"
#include "engine/CopyNaming.h"
#include "engine/CopyPolicy.h"
#include "engine/EngineFiles.h"
#include "engine/FileListCopy.h"
#include "engine/FolderCopy.h"
#include "engine/IntervalCheck.h"
#include "engine/TimeStamps.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"

namespace vt {
namespace {

using Names = std::vector<std::wstring>;

TEST(TimeStamps, PadEveryFieldAndUseTheGivenSeparators) {
    const SYSTEMTIME morning{2013, 6, 4, 6, 9, 5, 7, 0};
    EXPECT_EQ(LogTimeStamp(morning, L"/", L":"), L"06/06/2013 - 09:05:07");
    EXPECT_EQ(LogTimeStamp(morning, L".", L","), L"06.06.2013 - 09,05,07");
    EXPECT_EQ(FolderStamp(morning), L"060613-090507");
    const SYSTEMTIME lastSecond{1999, 12, 5, 31, 23, 59, 59, 999};
    EXPECT_EQ(FolderStamp(lastSecond), L"311299-235959");
    EXPECT_EQ(FolderStamp(SYSTEMTIME{2005, 1, 6, 1, 0, 0, 0, 0}), L"010105-000000");
}

TEST(CopyNaming, SourceFolderNameAndDatedDestination) {
    const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {L"C:\\", L"C"},
        {L"C:\\Dati\\Documenti", L"Documenti"},
        {L"C:\\Dati\\Documenti\\", L"Documenti"},
        {L"\\\\server\\share\\Foto", L"Foto"},
        {L"Documenti", L"Documenti"},
        {L"", L""},
    };
    for (const auto& [path, name] : names) EXPECT_EQ(SourceFolderName(path), name) << path;

    EXPECT_EQ(LocalDatedDestination(L"D:\\", L"File1_060613-094500"), L"D:\\File1_060613-094500");
    EXPECT_EQ(LocalDatedDestination(L"D:\\Copie", L"C_060613-094500"), L"D:\\Copie\\C_060613-094500");
    EXPECT_EQ(SourceRoot(L"C:\\"), L"C:");
    EXPECT_EQ(SourceRoot(L"C:\\Dati"), L"C:\\Dati");
    EXPECT_EQ(RelativeFolder(L"C:", L"C:\\Windows\\System\\", false), L"\\Windows\\System\\");
    EXPECT_EQ(RelativeFolder(L"C:\\Dati", L"C:\\Dati\\A b\\", true), L"/A b/");
    EXPECT_EQ(RelativeFolder(L"C:\\Dati", L"C:\\Dati\\", false), L"\\");
}

TEST(CopyNaming, EntryFileNameIsWhatFollowsTheLastBackslashOrColon) {
    EXPECT_EQ(EntryFileName(L"C:\\Dati\\a.txt"), L"a.txt");
    EXPECT_EQ(EntryFileName(L"C:a.txt"), L"a.txt");
    EXPECT_EQ(EntryFileName(L"\\\\srv\\q\\b.doc"), L"b.doc");
    EXPECT_EQ(EntryFileName(L"nudo.txt"), L"nudo.txt");
    EXPECT_EQ(EntryFileName(L""), L"");
}

TEST(CopyNaming, OnlyNamesWithTheStampShapeAreCopiesOfTheSource) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"Documenti_060613-094500", true},
        {L"documenti_060613-094500", true},   // ASCII case does not matter
        {L"DOCUMENTI_060613-094500", true},
        {L"Documenti_backup-vecchi", false},  // same shape, but a folder of the user's
        {L"Documenti_060613-09450x", false},
        {L"Documenti_2013", false},            // too short to hold the hyphen
        {L"Documenti_060613-094500_vecchia", false},
        {L"Documenti_060613_094500", false},
        {L"Documenti-060613-094500", false},
        {L"Documenti2_060613-094500", false},
        {L"Documenti", false},
        {L"", false},
    };
    for (const auto& [name, ours] : cases) EXPECT_EQ(IsDatedCopyOf(name, L"Documenti"), ours) << name;
    // Another slot's copies are not ours, nor is a name differing outside ASCII case.
    EXPECT_FALSE(IsDatedCopyOf(L"File2_060613-094500", L"File1"));
    EXPECT_TRUE(IsDatedCopyOf(L"file1_060613-094500", L"File1"));
    EXPECT_FALSE(IsDatedCopyOf(L"\u00c0rea_060613-094500", L"\u00e0rea"));
    EXPECT_TRUE(IsDatedCopyOf(L"\u00e0REA_060613-094500", L"\u00e0rea"));
}

TEST(CopyNaming, SortKeyIsYearMonthDayTime) {
    EXPECT_EQ(SortKey(L"Documenti_060613-094500", L"Documenti"), L"130606094500");
    EXPECT_EQ(SortKey(L"C_311299-235959", L"C"), L"991231235959");
}

TEST(CopyNaming, CopiesToRemoveTakesTheOldestFirst) {
    // Listing order is not age order.
    const Names listed = {L"Doc_070613-080000", L"Altro_010101-000000", L"Doc_060613-094500", L"Doc_2013",
                          L"doc_060613-094459", L"Doc_060613-094500_vecchia"};
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 1), (Names{L"doc_060613-094459", L"Doc_060613-094500"}));
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 2), (Names{L"doc_060613-094459"}));
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 3), Names{});
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 65535), Names{});
    // keep 0 removes every copy, in listing order.
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 0),
              (Names{L"Doc_070613-080000", L"Doc_060613-094500", L"doc_060613-094459"}));
    EXPECT_EQ(CopiesToRemove({}, L"Doc", 0), Names{});
}

TEST(CopyNaming, ACopyFrom1999SortsAsTheNewest) {
    const Names listed = {L"Doc_311299-120000", L"Doc_010113-120000", L"Doc_010213-120000"};
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 1), (Names{L"Doc_010113-120000", L"Doc_010213-120000"}));
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 2), (Names{L"Doc_010113-120000"}));
}

TEST(CopyNaming, ALastCompleteCopyTakesTheSlotOfTheOldestCopyKept) {
    const Names listed = {L"Doc_010613-080000", L"Doc_020613-080000", L"Doc_030613-080000", L"Doc_040613-080000"};
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 2, {L"doc_010613-080000"}),
              (Names{L"Doc_020613-080000", L"Doc_030613-080000"}));
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 1, {L"Doc_020613-080000"}),
              (Names{L"Doc_010613-080000", L"Doc_030613-080000", L"Doc_040613-080000"}));
    // Kept anyway, it takes no slot from the others.
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 2, {L"Doc_040613-080000"}), (Names{L"Doc_010613-080000", L"Doc_020613-080000"}));
    // Where nothing else can go, one copy more stays.
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 0, {L"Doc_030613-080000"}),
              (Names{L"Doc_010613-080000", L"Doc_020613-080000", L"Doc_040613-080000"}));
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 1, {L"Doc_010613-080000", L"Doc_030613-080000"}),
              (Names{L"Doc_020613-080000", L"Doc_040613-080000"}));
    // A recorded name that is no copy here protects nothing.
    EXPECT_EQ(CopiesToRemove(listed, L"Doc", 3, {L"Altro_010613-080000", L""}), (Names{L"Doc_010613-080000"}));
}

TEST(CopyNaming, ProtectedCopiesAreNeverRemovedWhateverIsRecorded) {
    // The recorded names come from the settings store: any mix of copies, other names and case.
    std::mt19937 random(23);
    for (int round = 0; round < 3000; ++round) {
        Names listed, recorded;
        const int count = static_cast<int>(random() % 9);
        for (int i = 0; i < count; ++i) {
            std::wstring name = random() % 6 ? L"Doc_" : L"Altro_";
            name += L"0" + std::to_wstring(1 + random() % 9) + L"0613-0" + std::to_wstring(random() % 10) + L"0000";
            if (std::find(listed.begin(), listed.end(), name) == listed.end()) listed.push_back(name);
        }
        for (const std::wstring& name : listed)
            if (random() % 4 == 0) recorded.push_back(random() % 2 ? name : L"DOC" + name.substr(3));
        if (random() % 3 == 0) recorded.push_back(L"Doc_2013");
        const unsigned keep = random() % 5;
        const Names removed = CopiesToRemove(listed, L"Doc", keep, recorded);
        const Names plain = CopiesToRemove(listed, L"Doc", keep);
        auto isProtected = [&](const std::wstring& name) {
            return std::any_of(recorded.begin(), recorded.end(),
                               [&](const std::wstring& r) { return _wcsicmp(r.c_str(), name.c_str()) == 0; });
        };
        Names copies;
        for (const std::wstring& name : listed)
            if (IsDatedCopyOf(name, L"Doc")) copies.push_back(name);
        size_t protectedCopies = 0;
        for (const std::wstring& name : copies) protectedCopies += isProtected(name);
        for (const std::wstring& name : removed) {
            ASSERT_FALSE(isProtected(name)) << round;
            ASSERT_TRUE(IsDatedCopyOf(name, L"Doc")) << round;
            ASSERT_EQ(std::count(removed.begin(), removed.end(), name), 1) << round;
        }
        // As many stay as the policy keeps, or the protected ones when they are more.
        const size_t kept = keep == 0 ? protectedCopies
                                      : std::min(copies.size(), std::max<size_t>(keep, protectedCopies));
        ASSERT_EQ(copies.size() - removed.size(), kept) << round;
        if (protectedCopies == 0) {
            ASSERT_EQ(removed, plain) << round;
        }
        // Every copy that stays unprotected is newer than every copy removed.
        for (const std::wstring& stays : copies) {
            if (keep == 0 || isProtected(stays) || std::count(removed.begin(), removed.end(), stays)) continue;
            for (const std::wstring& gone : removed) ASSERT_GT(SortKey(stays, L"Doc"), SortKey(gone, L"Doc")) << round;
        }
    }
}

TEST(EngineFiles, LongPathPrefixesAbsolutePathsOnly) {
    EXPECT_EQ(LongPath(L"C:\\Dati\\a.txt"), L"\\\\?\\C:\\Dati\\a.txt");
    EXPECT_EQ(LongPath(L"\\\\srv\\q\\a.txt"), L"\\\\?\\UNC\\srv\\q\\a.txt");
    EXPECT_EQ(LongPath(L"\\\\?\\C:\\x"), L"\\\\?\\C:\\x");
    // The prefix stops the system from cleaning the path up, so it is cleaned up first.
    EXPECT_EQ(LongPath(L"C:\\Dati\\\\Documenti\\\\"), L"\\\\?\\C:\\Dati\\Documenti\\");
    EXPECT_EQ(LongPath(L"C:\\Dati\\.\\x\\..\\a.txt"), L"\\\\?\\C:\\Dati\\a.txt");
    EXPECT_EQ(LongPath(L"C:/Dati/a.txt"), L"\\\\?\\C:\\Dati\\a.txt");
    EXPECT_EQ(LongPath(L"D:\\\\File1_060613-094500"), L"\\\\?\\D:\\File1_060613-094500");
    EXPECT_EQ(LongPath(L"\\\\srv\\q\\\\a.txt"), L"\\\\?\\UNC\\srv\\q\\a.txt");
    EXPECT_EQ(LongPath(L"relativo\\a.txt"), L"relativo\\a.txt");
}

TEST(IntervalCheck, DueAfterMoreThanNUnitsKeptModulo256) {
    const double now = 41431.5;
    struct Case {
        double elapsedDays;
        int n;
        double unit;
        bool due;
    } cases[] = {
        {2.0 / 24 + 0.001, 2, kOneHour, true},
        {2.0 / 24 - 0.001, 2, kOneHour, false},
        {44.01 / 24, 300, kOneHour, true},   // 300 hours are 44
        {43.99 / 24, 300, kOneHour, false},
        {0.5 / 24, 256, kOneHour, true},     // 256 is 0
        {0.00001, 0, kOneHour, true},
        {0.0, 0, kOneHour, false},
        {3.01, 3, 1.0, true},
        {2.99, 3, 1.0, false},
        {254.9 / 24, -1, kOneHour, false},  // -1 is 255
        {255.1 / 24, -1, kOneHour, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IntervalDue(now, now - c.elapsedDays, c.n, c.unit), c.due) << c.n << " after " << c.elapsedDays;
}

class SettingsTest : public ::testing::Test {
protected:
    test::SettingsGuard guard;
    void Put(const std::wstring& section, const std::wstring& name, std::optional<bool> value) {
        if (value) {
            ASSERT_TRUE(SettingsStore().WriteBool(section, name, *value));
        }
    }
};

TEST_F(SettingsTest, CopyPolicyLaterTrueValuesWin) {
    const auto none = std::nullopt;
    struct Case {
        std::optional<bool> noCopies, unlimited, limited;
        const wchar_t* copiesCount;
        CopyPolicy::Kind kind;
        unsigned keep;
    } cases[] = {
        {none, none, none, nullptr, CopyPolicy::Limited, 2},
        {true, none, false, nullptr, CopyPolicy::NoCopies, 0},
        {true, true, false, nullptr, CopyPolicy::Unlimited, 0},
        {true, true, none, L"7", CopyPolicy::Limited, 7},
        {false, true, true, L"999", CopyPolicy::Limited, 999},
        {false, false, false, L"5", CopyPolicy::None, 0},
        {none, none, true, L"65537", CopyPolicy::Limited, 1},  // low 16 bits
        {none, none, true, L"molte", CopyPolicy::Limited, 2},
    };
    for (const Case& c : cases) {
        DeleteKeyTree(HKEY_CURRENT_USER, std::wstring(kSettingsKey) + L"\\" + kCopiesSection);
        Put(kCopiesSection, L"RB1", c.noCopies);
        Put(kCopiesSection, L"RB2", c.unlimited);
        Put(kCopiesSection, L"RB3", c.limited);
        if (c.copiesCount) {
            ASSERT_TRUE(SettingsStore().WriteString(kCopiesSection, L"NumBkp", c.copiesCount));
        }
        const CopyPolicy policy = ReadCopyPolicy();
        EXPECT_EQ(policy.kind, c.kind) << (c.copiesCount ? c.copiesCount : L"-");
        EXPECT_EQ(policy.keep, c.keep) << (c.copiesCount ? c.copiesCount : L"-");
    }
}

TEST_F(SettingsTest, DataKindDirWinsThenExeThenFile) {
    const auto none = std::nullopt;
    struct Case {
        std::optional<bool> dir, exe, file;
        DataKind kind;
    } cases[] = {
        {none, none, none, DataKind::Folder},
        {true, true, none, DataKind::Folder},
        {false, true, true, DataKind::LaunchProgram},
        {false, none, true, DataKind::FileList},
        {false, false, false, DataKind::None},
        {false, none, none, DataKind::None},
    };
    for (int slot : {1, 4}) {
        for (const Case& c : cases) {
            DeleteKeyTree(HKEY_CURRENT_USER, std::wstring(kSettingsKey) + L"\\" + kMainSection);
            Put(kMainSection, SlotValueName(L"TipoDir", slot), c.dir);
            Put(kMainSection, SlotValueName(L"TipoExe", slot), c.exe);
            Put(kMainSection, SlotValueName(L"TipoFile", slot), c.file);
            EXPECT_EQ(DetectDataKind(slot), c.kind) << "slot " << slot << " case " << (&c - cases);
            // Another slot's values do not leak into this one.
            EXPECT_EQ(DetectDataKind(slot == 1 ? 2 : 1), DataKind::Folder);
        }
    }
    EXPECT_EQ(DetectDataKind(0), DataKind::None);
    EXPECT_EQ(DetectDataKind(6), DataKind::None);
}

}  // namespace
}  // namespace vt
