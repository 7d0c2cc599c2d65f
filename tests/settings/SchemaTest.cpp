#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <set>

#include "settings/BackupJob.h"
#include "settings/CopyPolicySettings.h"
#include "settings/FtpDestination.h"
#include "settings/JobValues.h"
#include "settings/ProgramValues.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/RegKey.h"

namespace vt {
namespace {

const std::wstring kKey = L"Software\\Dorvi\\DorviVaultick3.7";

std::set<std::wstring> StoredNames(const std::wstring& section) {
    const RegKey key = RegKey::Open(HKEY_CURRENT_USER, kKey + L"\\" + section);
    std::set<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = 256;
        if (RegEnumValueW(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.insert(name);
    }
    return names;
}

// Texts a user may type or a path may hold: blanks at either end, accents, quotes, the
// characters an INI or a command line treats specially, the empty text and long ones.
class OddText {
public:
    explicit OddText(unsigned seed) : random_(seed) {}
    std::wstring operator()() {
        static const std::wstring alphabet = L" aZ09\\/:.-_\"'=%;,àèéìòù€ßÆ\u4e2d\t";
        const size_t length = Pick(5) == 0 ? 0 : Pick(4) == 0 ? 200 + Pick(300) : 1 + Pick(12);
        std::wstring text;
        for (size_t i = 0; i < length; ++i) text += alphabet[Pick(alphabet.size())];
        return text;
    }
    bool Flag() { return Pick(2) == 1; }
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

private:
    std::mt19937 random_;
};

class SchemaTest : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
    test::TempFolder data_;
};

TEST_F(SchemaTest, JobsComeBackAsSavedUnderTheirOldNames) {
    OddText odd(16);
    for (int round = 0; round < 30; ++round) {
        JobSet set;
        set.trayIcon = odd.Flag();
        set.showDuringRun = odd.Flag();
        for (BackupJob& job : set.jobs) {
            job = BackupJob{odd(), {}, odd(), odd(), odd(), odd(), odd.Flag(), odd.Flag(), odd.Flag(), odd.Flag(),
                            odd.Flag(), odd.Flag(), odd(), odd(), odd(), odd.Flag(), odd.Flag(), odd.Flag(), odd.Flag(), odd.Flag()};
        }
        SaveAllJobs(set, data_.Path());
        JobSet loaded;
        LoadAllJobs(loaded, data_.Path());
        ASSERT_EQ(loaded.trayIcon, set.trayIcon);
        ASSERT_EQ(loaded.showDuringRun, set.showDuringRun);
        for (int slot = 1; slot <= kJobCount; ++slot) {
            const BackupJob& saved = set.Job(slot);
            const JobValues read = ReadJobValues(slot);
            // Uncut everywhere but in the set-up window's record.
            ASSERT_EQ(read.time, saved.time);
            ASSERT_EQ(read.hoursInterval, saved.hoursInterval);
            ASSERT_EQ(read.daysInterval, saved.daysInterval);
            ASSERT_EQ(read.source, saved.source);
            ASSERT_EQ(read.program, saved.program);
            ASSERT_EQ(read.destination, saved.destination);
            ASSERT_EQ(read.fileListDestination, saved.fileListDestination);
            ASSERT_EQ(read.commandLine, saved.commandLine);
            ASSERT_EQ(std::vector<bool>({read.atTime, read.atStartup, read.atShutdown, read.everyNDays,
                                         read.everyNHours, read.manual, read.isFolder, read.isFileList,
                                         read.isProgram, read.destIsFtp, read.catchUp}),
                      std::vector<bool>({saved.atTime, saved.atStartup, saved.atShutdown, saved.everyNDays, saved.everyNHours,
                                         saved.manual, saved.isFolder, saved.isFileList, saved.isProgram, saved.destIsFtp,
                                         saved.catchUp}));
            const BackupJob& back = loaded.Job(slot);
            ASSERT_EQ(back.time, saved.time.substr(0, 5));
            ASSERT_EQ(back.hoursInterval, saved.hoursInterval.substr(0, 2));
            ASSERT_EQ(back.source, saved.source);
            ASSERT_EQ(back.destIsFtp, saved.destIsFtp);
            ASSERT_EQ(back.catchUp, saved.catchUp);
        }
    }
    std::set<std::wstring> main{L"Task Bar", L"Mostra"};
    for (const wchar_t* name : {L"Sorgente", L"SorgenteExe", L"Destinazione", L"DestinazioneFile",
                                L"DestinazioneExe", L"Orario", L"TipoOrario", L"Avvio", L"Chiusura", L"TipoDir",
                                L"TipoFile", L"TipoExe", L"Recupera"})
        for (const wchar_t* suffix : {L"", L"2", L"3", L"4", L"5"}) main.insert(std::wstring(name) + suffix);
    EXPECT_EQ(StoredNames(L"Principale"), main);
    for (int slot = 1; slot <= kJobCount; ++slot)
        EXPECT_EQ(StoredNames(L"Vaultick" + std::to_wstring(slot)),
                  (std::set<std::wstring>{L"NrOre", L"NrGiorni", L"Giorni", L"Ore", L"Manuale", L"DestFTP"}));
}

TEST_F(SchemaTest, EnabledSwitchAndIntervalStateUseTheirSlotNames) {
    WriteJobEnabled(1, true);
    WriteJobEnabled(4, true);
    WriteJobEnabled(4, false);
    EXPECT_EQ(StoredNames(L"Principale"), (std::set<std::wstring>{L"Attesa", L"Attesa4"}));
    const SettingsStore store;
    EXPECT_TRUE(ReadJobEnabled(store, 1));
    EXPECT_FALSE(ReadJobEnabled(store, 4));
    EXPECT_TRUE(ReadJobValues(store, 1).enabled);

    SettingsStore writer;
    for (const double when : {0.0, -1.5, 45000.123456789, 2958465.99999}) {
        WriteLastRun(writer, 3, when);
        EXPECT_EQ(ReadLastRun(store, 3), when);
    }
    EXPECT_EQ(StoredNames(L"Vaultick3"), std::set<std::wstring>{L"Tempo"});
    RegKey::Create(HKEY_CURRENT_USER, kKey + L"\\Vaultick3").WriteString(L"NrOre", L"300");
    RegKey::Create(HKEY_CURRENT_USER, kKey + L"\\Vaultick3").WriteString(L"NrGiorni", L"7");
    EXPECT_EQ(ReadInterval(store, 3, IntervalUnit::Hours), L"300");
    EXPECT_EQ(ReadInterval(store, 3, IntervalUnit::Days), L"7");
}

TEST_F(SchemaTest, CopyPolicyAndFtpSiteComeBackWithTheirNames) {
    OddText odd(37);
    for (int round = 0; round < 40; ++round) {
        const int counts[] = {0, 1, 2, 999, 1000, -1, INT_MAX, INT_MIN, static_cast<int>(odd.Pick(100000))};
        const StoredCopyPolicy policy{odd.Flag(), odd.Flag(), odd.Flag(), counts[round % 9], odd.Flag()};
        WriteStoredCopyPolicy(policy);
        const auto read = ReadStoredCopyPolicy();
        ASSERT_TRUE(read);
        ASSERT_EQ(std::vector<int>({read->noCopies, read->unlimited, read->limited, read->count, read->linkUnchanged}),
                  std::vector<int>({policy.noCopies, policy.unlimited, policy.limited, policy.count,
                                    policy.linkUnchanged}));

        const int slot = 1 + round % kJobCount;
        const bool binary = odd.Flag();
        const FtpDestination site{odd(), odd(), odd(), odd(), !binary, binary, odd.Flag(), odd()};
        WriteFtpDestination(slot, site);
        const auto back = ReadFtpDestination(slot);
        ASSERT_TRUE(back);
        ASSERT_EQ(std::vector<std::wstring>({back->host, back->folder, back->user, back->storedPassword,
                                             back->certificatePin}),
                  std::vector<std::wstring>({site.host, site.folder, site.user, site.storedPassword,
                                             site.certificatePin}));
        ASSERT_EQ(back->secure, site.secure);
        ASSERT_EQ(back->binary, binary);
        ASSERT_EQ(back->ascii, !binary);
    }
    EXPECT_EQ(StoredNames(L"NrBackup"), (std::set<std::wstring>{L"RB1", L"RB2", L"RB3", L"NumBkp", L"Collega"}));
    EXPECT_EQ(StoredNames(L"Vaultick2"), (std::set<std::wstring>{L"ftp-HN", L"ftp-HDN", L"ftp-UN", L"ftp-Pswd",
                                                                  L"ftp-ASCII", L"ftp-Binari", L"ftp-TLS",
                                                                  L"ftp-Cert"}));
}

TEST_F(SchemaTest, ProgramValuesComeBackWithTheirNames) {
    OddText odd(58);
    for (int round = 0; round < 30; ++round) {
        const LogSettings log{odd.Flag(), odd()};
        WriteLogSettings(log);
        const LogSettings readLog = ReadLogSettings(SettingsStore());
        ASSERT_EQ(readLog.enabled, log.enabled);
        ASSERT_EQ(readLog.folder, log.folder);

        const AddFolders folders{odd(), odd()};
        WriteAddFolders(folders);
        const AddFolders readFolders = ReadAddFolders(L"C:\\Programma");
        ASSERT_EQ(readFolders.files, folders.files);
        ASSERT_EQ(readFolders.folder, folders.folder);

        const int numbers[] = {0, -1, 4, INT_MAX, INT_MIN, static_cast<int>(odd.Pick(1u << 30))};
        const int number = numbers[round % 6];
        WriteSelectedPage(number);
        WriteWindowHandle(~number);
        ASSERT_EQ(ReadSelectedPage(), number);
        ASSERT_EQ(ReadWindowHandle(), ~number);
        const bool on = odd.Flag();
        WriteProgramOn(on);
        ASSERT_EQ(ReadProgramOn(SettingsStore()), on);
    }
    WriteInstallDone();
    const SettingsStore store;
    EXPECT_FALSE(ReadShowInstall(store));
    EXPECT_EQ(ReadInstalledVersion(store), L"3.7");
    EXPECT_EQ(StoredNames(L"FileLog"), (std::set<std::wstring>{L"CartDest", L"CBAttiva"}));
    EXPECT_EQ(StoredNames(L"Principale"), (std::set<std::wstring>{L"CartAddFile", L"CartAddCard", L"Selez",
                                                                   L"HProc", L"CBAttiva", L"ShowInst", L"Versione"}));
}

TEST_F(SchemaTest, LastRunAndPresenceComeBackAndNonsenseReadsAsNothing) {
    EXPECT_FALSE(ReadLastRunOutcome(SettingsStore(), 2));
    EXPECT_FALSE(ReadProgramPresence().lastSeen);
    WriteLastRunOutcome(2, {45000.5, RunOutcome::Stopped});
    WriteLastSeen(45001.25);
    WriteSuspended(45001.125);
    const auto last = ReadLastRunOutcome(SettingsStore(), 2);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->started, 45000.5);
    EXPECT_EQ(last->outcome, RunOutcome::Stopped);
    EXPECT_EQ(ReadProgramPresence().lastSeen, 45001.25);
    EXPECT_EQ(ReadProgramPresence().suspended, 45001.125);
    EXPECT_EQ(StoredNames(L"Vaultick2"), (std::set<std::wstring>{L"UltimoAvvio", L"UltimoEsito"}));
    EXPECT_EQ(StoredNames(L"Principale"), (std::set<std::wstring>{L"UltimoControllo", L"Sospensione"}));
    ForgetSuspended();
    EXPECT_EQ(StoredNames(L"Principale"), (std::set<std::wstring>{L"UltimoControllo"}));
    ForgetSuspended();

    // Whatever another program left there: a start on the calendar and a known outcome, or nothing.
    std::mt19937 random(91);
    RegKey section = RegKey::Create(HKEY_CURRENT_USER, kKey + L"\\Vaultick2");
    RegKey main = RegKey::Create(HKEY_CURRENT_USER, kKey + L"\\Principale");
    for (int round = 0; round < 300; ++round) {
        std::vector<BYTE> bytes(round % 7 == 0 ? random() % 12 : 8);
        for (BYTE& b : bytes) b = static_cast<BYTE>(random());
        if (round % 3 == 0) {
            const double plausible = std::uniform_real_distribution<double>(-1e6, 4e6)(random);
            std::memcpy(bytes.data(), &plausible, std::min<size_t>(bytes.size(), 8));
        }
        section.WriteBinary(L"UltimoAvvio", bytes);
        main.WriteBinary(L"UltimoControllo", bytes);
        const wchar_t* outcomes[] = {L"0", L"1", L"2", L"3", L"-1", L"x", L"", L"02", L" 1"};
        section.WriteString(L"UltimoEsito", outcomes[random() % 9]);
        if (const auto read = ReadLastRunOutcome(SettingsStore(), 2)) {
            ASSERT_TRUE(std::isfinite(read->started));
            ASSERT_GE(read->started, 1.0);
            ASSERT_LE(read->started, 2958465.0);
            const int outcome = static_cast<int>(read->outcome);
            ASSERT_TRUE(outcome >= 0 && outcome <= 2) << outcome;
        }
        if (const auto seen = ReadProgramPresence().lastSeen) {
            ASSERT_TRUE(std::isfinite(*seen));
            ASSERT_GE(*seen, 1.0);
        }
    }
}

TEST(MachineValues, OnlyOneMeansAllUsers) {
    test::RegistryGuard guard(HKEY_LOCAL_MACHINE, kKey);
    EXPECT_FALSE(ReadMachineInstallValues());
    WriteMachineInstallValues({L"Mario Rossi", true});
    const RegKey section = RegKey::Open(HKEY_LOCAL_MACHINE, kKey + L"\\Principale");
    EXPECT_EQ(section.ReadString(L"Utente"), L"Mario Rossi");
    EXPECT_EQ(section.ReadString(L"Per Tutti"), L"1");
    EXPECT_TRUE(ReadMachineInstallValues()->allUsers);
    RegKey::Create(HKEY_LOCAL_MACHINE, kKey + L"\\Principale").WriteString(L"Per Tutti", L"2");
    EXPECT_FALSE(ReadMachineInstallValues()->allUsers);
    EXPECT_EQ(ReadMachineInstallValues()->installingUser, L"Mario Rossi");
}

}  // namespace
}  // namespace vt
