#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "install/OtherProfiles.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "support/UnixShell.h"
#include "win/FileHelpers.h"
#include "win/Paths.h"
#include "win/RegKey.h"
#include "win/Text.h"

namespace vt {
namespace {

constexpr wchar_t kRun[] = L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kFixtureKey[] = L"Software\\VaultickHiveFixture";
constexpr wchar_t kProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// A profile folder whose NTUSER.DAT holds the autostart value, the settings key and a value
// of another program, saved with the system's own hive writer.
void MakeProfile(const std::wstring& folder, bool withOurValues) {
    CreateDirectoryW(folder.c_str(), nullptr);
    {
        RegKey other = RegKey::Create(HKEY_CURRENT_USER, std::wstring(kFixtureKey) + L"\\Software\\Altro");
        other.WriteString(L"Valore", L"resta");
        RegKey run = RegKey::Create(HKEY_CURRENT_USER, std::wstring(kFixtureKey) + L"\\" + kRun);
        run.WriteString(L"Altro", L"altro.exe");
        if (withOurValues) {
            run.WriteString(L"Vaultick", L"C:\\Vaultick\\DorviVaultick.Exe /go");
            RegKey settings = RegKey::Create(HKEY_CURRENT_USER, std::wstring(kFixtureKey) + L"\\" + kSettingsKey + L"\\Principale");
            settings.WriteString(L"Selez", L"2");
        }
    }
    EnableHivePrivilege(L"salva");
    {
        RegKey fixture = RegKey::Open(HKEY_CURRENT_USER, kFixtureKey, KEY_READ);
        ASSERT_EQ(RegSaveKeyW(fixture.Get(), (folder + L"\\NTUSER.DAT").c_str(), nullptr), ERROR_SUCCESS);
    }
    DeleteKeyTree(HKEY_CURRENT_USER, kFixtureKey);
}

struct HiveContent {
    bool runValue = false, otherRunValue = false, settingsKey = false, otherKey = false;
};

HiveContent ReadHive(const std::wstring& folder) {
    HiveContent content;
    EXPECT_TRUE(MountTempHive(folder + L"\\NTUSER.DAT"));
    const std::wstring root = std::wstring(kTempHiveKey) + L"\\";
    {
        RegKey run = RegKey::Open(HKEY_LOCAL_MACHINE, root + kRun);
        content.runValue = run.ValueExists(L"Vaultick");
        content.otherRunValue = run.ValueExists(L"Altro");
        content.settingsKey = KeyExists(HKEY_LOCAL_MACHINE, root + kSettingsKey);
        content.otherKey = RegKey::Open(HKEY_LOCAL_MACHINE, root + L"Software\\Altro").ReadString(L"Valore") == L"resta";
    }
    UnloadTempHive();
    return content;
}

class OtherProfilesTest : public ::testing::Test {
protected:
    test::TempFolder root_;
    OtherProfiles profiles_;

    void SetUp() override {
        profiles_.currentUser = L"Mario";
        profiles_.ownProfile = root_ / L"mario";
        profiles_.appDataRel = L"\\AppData\\Roaming";
        profiles_.programsRel = L"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    }
    void TearDown() override { EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kTempHiveKey)) << "a hive stayed mounted"; }
};

TEST_F(OtherProfilesTest, RelativeFoldersAndTheProfilesThatTakePart) {
    EXPECT_EQ(RelativeToProfile(L"C:\\Users\\Mario\\AppData\\Roaming", L"c:\\users\\mario"), L"\\AppData\\Roaming");
    EXPECT_EQ(RelativeToProfile(L"C:\\Documents and Settings\\Mario\\Dati applicazioni",
                                L"C:\\Documents and Settings\\Mario\\"), L"\\Dati applicazioni");
    EXPECT_EQ(RelativeToProfile(L"D:\\Altrove\\AppData", L"C:\\Users\\Mario"), L"D:\\Altrove\\AppData");
    EXPECT_EQ(RelativeToProfile(L"C:\\Users\\Marione\\AppData", L"C:\\Users\\Mario"), L"C:\\Users\\Marione\\AppData");

    // The user's own profile is never visited: by name in another letter case, or by path.
    profiles_.folders = {root_ / L"MARIO", root_ / L"Giulia", root_ / L".hidden", root_ / L"Anna"};
    profiles_.ownProfile = root_ / L"Anna";
    EXPECT_EQ(TakingPart(profiles_), std::vector<std::wstring>{root_ / L"Giulia"});
}

TEST_F(OtherProfilesTest, AProfileWhoseHiveCannotBeMountedCountsAsLoggedOn) {
    EXPECT_FALSE(SomeoneLoggedOn(profiles_));
    MakeProfile(root_ / L"Giulia", true);
    MakeProfile(root_ / L"Luca", false);
    profiles_.folders = {root_ / L"Giulia", root_ / L"Luca"};
    EXPECT_FALSE(SomeoneLoggedOn(profiles_));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kTempHiveKey));
    CreateDirectoryW((root_ / L"Senzahive").c_str(), nullptr);
    profiles_.folders.push_back(root_ / L"Senzahive");
    EXPECT_TRUE(SomeoneLoggedOn(profiles_));
}

TEST_F(OtherProfilesTest, HiveSweepReachesTheHiveFiles) {
    test::SettingsGuard settings;
    test::RegistryGuard run(HKEY_CURRENT_USER, kRun);
    test::RegistryGuard machine(HKEY_LOCAL_MACHINE, kSettingsKey);
    SettingsStore().WriteString(L"Principale", L"Selez", L"1");
    RegKey::Create(HKEY_CURRENT_USER, kRun).WriteString(L"Vaultick", L"x /go");
    RegKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kSettingsKey) + L"\\Principale").WriteString(L"Utente", L"Mario");

    MakeProfile(root_ / L"Giulia", true);
    MakeProfile(root_ / L"mario", true);  // the current user's own: left alone
    MakeProfile(root_ / L"Luca", false);
    const std::string untouched = test::ReadBytes(root_ / L"Luca\\NTUSER.DAT");
    profiles_.folders = {root_ / L"Giulia", root_ / L"mario", root_ / L"Luca"};

    // The per-user change takes the autostart value only; the current user keeps everything.
    const ShellPlaces places{root_ / L"mio\\Programs", root_ / L"mio\\Desktop", root_ / L"mio\\QL", root_ / L"Tutti"};
    RemoveFromOtherProfiles(profiles_, places, false);
    RemoveFromOtherHives(profiles_, false);
    HiveContent giulia = ReadHive(root_ / L"Giulia");
    EXPECT_FALSE(giulia.runValue);
    EXPECT_TRUE(giulia.settingsKey);
    EXPECT_TRUE(giulia.otherRunValue && giulia.otherKey);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_TRUE(RegKey::Open(HKEY_CURRENT_USER, kRun).ValueExists(L"Vaultick"));

    // A hive without our values is mounted and unmounted, and its file is not rewritten.
    EXPECT_EQ(test::ReadBytes(root_ / L"Luca\\NTUSER.DAT"), untouched);
    EXPECT_FALSE(FileExists(root_ / L"Luca\\NTUSER.DAT.DorviNew"));

    MakeProfile(root_ / L"Giulia", true);
    RemoveFromOtherProfiles(profiles_, places, true);
    RemoveFromOtherHives(profiles_, true);
    giulia = ReadHive(root_ / L"Giulia");
    EXPECT_FALSE(giulia.runValue);
    EXPECT_FALSE(giulia.settingsKey);
    EXPECT_TRUE(giulia.otherRunValue && giulia.otherKey);
    const HiveContent own = ReadHive(root_ / L"mario");
    EXPECT_TRUE(own.runValue && own.settingsKey);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, kRun).ValueExists(L"Vaultick"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
}

TEST_F(OtherProfilesTest, FileSweepTakesShortcutsAlwaysAndDataOnlyWhenUninstalling) {
    const ShellPlaces places{root_ / L"mio\\Programs", root_ / L"mio\\Desktop", root_ / L"mio\\QL", root_ / L"Tutti"};
    const std::wstring giulia = root_ / L"Giulia";
    const std::wstring programs = giulia + profiles_.programsRel;
    const std::wstring data = giulia + profiles_.appDataRel + L"\\Dorvi\\Vaultick";
    const std::wstring quick = giulia + profiles_.appDataRel + L"\\Microsoft\\Internet Explorer\\Quick Launch";
    auto prepare = [&] {
        for (const std::wstring& folder : {programs + L"\\Dorvi\\Vaultick", data, quick, giulia + L"\\Desktop",
                                           places.allUsersPrograms + L"\\Dorvi\\Vaultick"})
            ForceFolders(folder);
        test::WriteBytes(giulia + L"\\Desktop\\Vaultick.lnk", "L");
        SetFileAttributesW((giulia + L"\\Desktop\\Vaultick.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
        test::WriteBytes(quick + L"\\Vaultick.lnk", "L");
        test::WriteBytes(programs + L"\\Dorvi\\Vaultick\\Vaultick.lnk", "L");
        test::WriteBytes(places.allUsersPrograms + L"\\Dorvi\\Vaultick\\Vaultick.lnk", "L");
        test::WriteBytes(data + L"\\BkpFile1.Dat", "C:\\a\r\n");
    };
    prepare();
    // Without a hive the profile counts as in use: nothing of it is touched.
    profiles_.folders = {giulia};
    RemoveFromOtherProfiles(profiles_, places, true);
    EXPECT_TRUE(FileExists(giulia + L"\\Desktop\\Vaultick.lnk"));
    EXPECT_TRUE(FileExists(data + L"\\BkpFile1.Dat"));
    EXPECT_FALSE(FolderExists(places.allUsersPrograms + L"\\Dorvi"));

    prepare();
    MakeProfile(giulia, false);
    RemoveFromOtherProfiles(profiles_, places, false);
    EXPECT_FALSE(FileExists(giulia + L"\\Desktop\\Vaultick.lnk"));
    EXPECT_FALSE(FileExists(quick + L"\\Vaultick.lnk"));
    EXPECT_FALSE(FolderExists(programs + L"\\Dorvi"));
    EXPECT_FALSE(FolderExists(places.allUsersPrograms + L"\\Dorvi"));
    EXPECT_TRUE(FileExists(data + L"\\BkpFile1.Dat"));

    prepare();
    RemoveFromOtherProfiles(profiles_, places, true);
    EXPECT_FALSE(FolderExists(data));
    EXPECT_FALSE(FolderExists(programs + L"\\Dorvi"));
}

TEST_F(OtherProfilesTest, AnAccountOfTheSystemIsFoundAndCleared) {
    test::SettingsGuard settings;
    test::RegistryGuard run(HKEY_CURRENT_USER, kRun);
    test::RegistryGuard machine(HKEY_LOCAL_MACHINE, kSettingsKey);
    const std::wstring entry = std::wstring(kProfileList) + L"\\S-1-5-21-7001-7002-7003-1001";
    test::RegistryGuard account(HKEY_LOCAL_MACHINE, entry);

    // A second account as the system keeps it: its entry in the profile list with the path
    // stored unexpanded, its folder, its hive file with our autostart value and settings.
    const OtherProfiles own = SystemOtherProfiles(CurrentLogonName());
    const std::wstring giulia = root_ / L"Giulia";
    MakeProfile(giulia, true);
    wchar_t drive[8] = {};
    ASSERT_EQ(GetEnvironmentVariableW(L"SystemDrive", drive, 8), 2u);
    ASSERT_TRUE(EqualsNoCase(giulia.substr(0, 2), drive));
    const std::wstring stored = L"%SystemDrive%" + giulia.substr(2);
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, entry.c_str(), L"ProfileImagePath", REG_EXPAND_SZ, stored.c_str(),
                              static_cast<DWORD>((stored.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    const OtherProfiles profiles = SystemOtherProfiles(CurrentLogonName());
    EXPECT_EQ(profiles.folders.size(), own.folders.size() + 1);
    EXPECT_EQ(TakingPart(profiles), std::vector<std::wstring>{giulia});
    ASSERT_FALSE(profiles.appDataRel.empty());
    ASSERT_FALSE(profiles.programsRel.empty());
    ASSERT_NE(profiles.appDataRel[0], L'%');

    const std::wstring programs = giulia + profiles.programsRel + L"\\Dorvi\\Vaultick";
    const std::wstring data = giulia + profiles.appDataRel + L"\\Dorvi\\Vaultick";
    const std::wstring quick = giulia + profiles.appDataRel + L"\\Microsoft\\Internet Explorer\\Quick Launch";
    const ShellPlaces places{root_ / L"mio\\Programs", root_ / L"mio\\Desktop", root_ / L"mio\\QL", root_ / L"Tutti"};
    for (const std::wstring& folder : {programs, data, quick, giulia + L"\\Desktop", places.allUsersPrograms + L"\\Dorvi\\Vaultick"})
        ASSERT_TRUE(ForceFolders(folder));
    for (const std::wstring& file : {giulia + L"\\Desktop\\Vaultick.lnk", quick + L"\\Vaultick.lnk", programs + L"\\Vaultick.lnk",
                                     data + L"\\BkpFile1.Dat", places.allUsersPrograms + L"\\Dorvi\\Vaultick\\Vaultick.lnk"})
        ASSERT_TRUE(test::WriteBytes(file, "L"));

    // Its hive mounts: nobody is logged on. The removal then clears the account.
    EXPECT_FALSE(SomeoneLoggedOn(profiles));
    RemoveFromOtherProfiles(profiles, places, true);
    RemoveFromOtherHives(profiles, true);
    EXPECT_FALSE(FileExists(giulia + L"\\Desktop\\Vaultick.lnk"));
    EXPECT_FALSE(FileExists(quick + L"\\Vaultick.lnk"));
    EXPECT_FALSE(FolderExists(giulia + profiles.programsRel + L"\\Dorvi"));
    EXPECT_FALSE(FolderExists(data));
    EXPECT_FALSE(FolderExists(places.allUsersPrograms + L"\\Dorvi"));
    const HiveContent hive = ReadHive(giulia);
    EXPECT_FALSE(hive.runValue || hive.settingsKey);
    EXPECT_TRUE(hive.otherRunValue && hive.otherKey);

    // A hive that cannot be mounted belongs to someone who is logged on.
    ASSERT_TRUE(DeleteFileW((giulia + L"\\NTUSER.DAT").c_str()));
    EXPECT_TRUE(SomeoneLoggedOn(SystemOtherProfiles(CurrentLogonName())));
}

// The owner of a profile can make any folder in it a link to somewhere else; the sweep, run by
// an administrator, must then delete nothing there.
TEST_F(OtherProfilesTest, LinksPlacedInAProfileLeadTheSweepNowhere) {
    const std::wstring giulia = root_ / L"Giulia";
    MakeProfile(giulia, true);
    const std::wstring roaming = giulia + profiles_.appDataRel;
    const std::wstring programs = giulia + profiles_.programsRel;
    // What the links lead to: folders shaped like the ones the sweep looks for.
    const std::wstring victim = root_ / L"Sistema";
    for (const std::wstring& folder : {victim + L"\\Vaultick", victim + L"\\Dorvi\\Vaultick"}) ASSERT_TRUE(ForceFolders(folder));
    const std::wstring files[] = {victim + L"\\Vaultick.lnk", victim + L"\\Vaultick\\dato.dll",
                                  victim + L"\\Dorvi\\Vaultick\\dato.dll"};
    for (const std::wstring& file : files) ASSERT_TRUE(test::WriteBytes(file, "resta"));
    ASSERT_TRUE(ForceFolders(roaming + L"\\Microsoft\\Internet Explorer"));
    ASSERT_TRUE(ForceFolders(programs));
    test::UnixLinks links;
    ASSERT_TRUE(links.Make(victim, giulia + L"\\Desktop"));
    ASSERT_TRUE(links.Make(victim, roaming + L"\\Microsoft\\Internet Explorer\\Quick Launch"));
    ASSERT_TRUE(links.Make(victim, programs + L"\\Dorvi"));
    ASSERT_TRUE(links.Make(victim, roaming + L"\\Dorvi"));

    profiles_.folders = {giulia};
    const ShellPlaces places{root_ / L"mio\\Programs", root_ / L"mio\\Desktop", root_ / L"mio\\QL", root_ / L"Tutti"};
    RemoveFromOtherProfiles(profiles_, places, true);
    for (const std::wstring& file : files) EXPECT_EQ(test::ReadBytes(file), "resta") << std::string(file.begin(), file.end());
    // The hive was still cleared.
    const HiveContent hive = ReadHive(giulia);
    EXPECT_FALSE(hive.runValue || hive.settingsKey);
}

}  // namespace
}  // namespace vt
