#include <gtest/gtest.h>

#include "settings/BackupJob.h"
#include "settings/FileListFile.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/RegKey.h"

namespace vt {
namespace {

const std::wstring kKey = L"Software\\Dorvi\\DorviVaultick3.7";

class BackupJobTest : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
    test::TempFolder data_;

    static RegKey Section(const std::wstring& name) { return RegKey::Create(HKEY_CURRENT_USER, kKey + L"\\" + name); }
};

TEST_F(BackupJobTest, EmptyStoreGivesAFreshAtTimeFolderJobEverywhere) {
    JobSet set;
    set.trayIcon = true;
    set.showDuringRun = false;
    set.Job(2).source = L"stale";
    LoadAllJobs(set, data_.Path());
    EXPECT_FALSE(set.trayIcon);
    EXPECT_TRUE(set.showDuringRun);
    for (int slot = 1; slot <= kJobCount; ++slot) {
        const BackupJob& job = set.Job(slot);
        EXPECT_EQ(job.time, L"--:--");
        EXPECT_TRUE(job.atTime && job.isFolder);
        EXPECT_FALSE(job.atStartup || job.atShutdown || job.everyNDays || job.everyNHours || job.manual);
        EXPECT_FALSE(job.isFileList || job.isProgram || job.destIsFtp);
        EXPECT_TRUE(job.source.empty() && job.destination.empty() && job.hoursInterval.empty() && job.files.empty());
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + L"\\Principale"));
}

TEST_F(BackupJobTest, SlotsUseSuffixesInTheMainSectionAndTheirOwnSection) {
    JobSet set;
    set.Job(1).time = L"08:15";
    set.Job(1).hoursInterval = L"6";
    set.Job(3).time = L"21:40";
    set.Job(3).hoursInterval = L"12";
    set.Job(3).source = L"C:\\Dati";
    set.Job(3).destIsFtp = true;
    SaveAllJobs(set, data_.Path());

    RegKey main = Section(L"Principale");
    EXPECT_EQ(main.ReadString(L"Orario"), L"08:15");
    EXPECT_EQ(main.ReadString(L"Orario3"), L"21:40");
    EXPECT_EQ(main.ReadString(L"Sorgente3"), L"C:\\Dati");
    EXPECT_FALSE(main.ValueExists(L"Orario1"));
    EXPECT_EQ(Section(L"Vaultick1").ReadString(L"NrOre"), L"6");
    EXPECT_EQ(Section(L"Vaultick3").ReadString(L"NrOre"), L"12");
    EXPECT_EQ(Section(L"Vaultick3").ReadString(L"DestFTP"), L"1");
    EXPECT_FALSE(Section(L"Vaultick3").ValueExists(L"NrOre3"));

    JobSet back;
    LoadAllJobs(back, data_.Path());
    EXPECT_EQ(back.Job(3).time, L"21:40");
    EXPECT_EQ(back.Job(3).hoursInterval, L"12");
    EXPECT_TRUE(back.Job(3).destIsFtp);
    EXPECT_FALSE(back.Job(4).destIsFtp);
}

TEST_F(BackupJobTest, OneSaveWritesEveryValueOfEverySlot) {
    JobSet set;
    set.Job(5).manual = true;
    SaveAllJobs(set, data_.Path());
    RegKey main = Section(L"Principale");
    EXPECT_EQ(main.ReadString(L"Task Bar"), L"0");
    EXPECT_EQ(main.ReadString(L"Mostra"), L"1");
    const wchar_t* mainNames[] = {L"Sorgente", L"SorgenteExe", L"Destinazione", L"DestinazioneFile",
                                  L"DestinazioneExe", L"Orario", L"TipoOrario", L"Avvio", L"Chiusura",
                                  L"TipoDir", L"TipoFile", L"TipoExe"};
    const wchar_t* sectionNames[] = {L"NrOre", L"NrGiorni", L"Giorni", L"Ore", L"Manuale", L"DestFTP"};
    for (int slot = 1; slot <= kJobCount; ++slot) {
        for (const wchar_t* name : mainNames)
            EXPECT_TRUE(main.ValueExists(SlotValueName(name, slot))) << SlotValueName(name, slot);
        RegKey section = Section(JobSection(slot));
        for (const wchar_t* name : sectionNames) EXPECT_TRUE(section.ValueExists(name)) << slot << name;
    }
    EXPECT_EQ(main.ReadString(L"TipoOrario5"), L"1");
    EXPECT_EQ(Section(L"Vaultick5").ReadString(L"Manuale"), L"1");
    EXPECT_EQ(main.ReadString(L"TipoDir2"), L"1");
    EXPECT_EQ(main.ReadString(L"TipoExe2"), L"0");
}

TEST_F(BackupJobTest, LongStoredTimesAndIntervalsAreCut) {
    Section(L"Principale").WriteString(L"Orario2", L"12:345678");
    Section(L"Vaultick2").WriteString(L"NrOre", L"123");
    Section(L"Vaultick2").WriteString(L"NrGiorni", L"4567");
    Section(L"Principale").WriteString(L"TipoOrario2", L"x");
    Section(L"Principale").WriteString(L"Avvio2", L"2");
    JobSet set;
    LoadAllJobs(set, data_.Path());
    EXPECT_EQ(set.Job(2).time, L"12:34");
    EXPECT_EQ(set.Job(2).hoursInterval, L"12");
    EXPECT_EQ(set.Job(2).daysInterval, L"45");
    EXPECT_TRUE(set.Job(2).atTime);
    EXPECT_TRUE(set.Job(2).atStartup);
}

TEST_F(BackupJobTest, ListsComeFromTheirFilesAndSurviveAMissingOne) {
    ASSERT_TRUE(test::WriteBytes(FileListPath(data_.Path(), 2), "C:\\a.txt\r\nC:\\b.txt\r\n"));
    JobSet set;
    set.Job(4).files = {L"C:\\kept.txt"};
    LoadAllJobs(set, data_.Path());
    EXPECT_EQ(set.Job(2).files, (std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b.txt"}));
    EXPECT_EQ(set.Job(4).files, std::vector<std::wstring>{L"C:\\kept.txt"});
}

}  // namespace
}  // namespace vt
