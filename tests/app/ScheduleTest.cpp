#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/Schedule.h"
#include "support/RegistryGuard.h"
#include "win/Paths.h"
#include "win/RegKey.h"

namespace vt {
namespace {

TEST(Schedule, TitleAndClockColourTellWhetherJobsWillRun) {
    EXPECT_EQ(ComputeActivationLook(true, true).title, L"Vaultick on");
    EXPECT_EQ(ComputeActivationLook(true, true).clockColour, RGB(0, 0, 0));
    EXPECT_EQ(ComputeActivationLook(true, false).title, L"Vaultick off");
    EXPECT_EQ(ComputeActivationLook(true, false).clockColour, RGB(255, 0, 0));
    EXPECT_EQ(ComputeActivationLook(false, true).title, L"Vaultick off");
    EXPECT_EQ(ComputeActivationLook(false, true).clockColour, RGB(128, 0, 0));
    EXPECT_EQ(ComputeActivationLook(false, false).clockColour, RGB(255, 0, 0));
}

TEST(Schedule, SnapshotHasItsOwnDefaultsAndPeriodicFlagsNeedANumber) {
    test::SettingsGuard guard;
    const std::wstring key = L"Software\\Dorvi\\DorviVaultick3.7\\";
    RegKey::Create(HKEY_CURRENT_USER, key + L"Vaultick2").WriteString(L"Ore", L"1");
    RegKey::Create(HKEY_CURRENT_USER, key + L"Vaultick2").WriteString(L"NrOre", L"6");
    RegKey::Create(HKEY_CURRENT_USER, key + L"Vaultick4").WriteString(L"Giorni", L"1");
    RegKey::Create(HKEY_CURRENT_USER, key + L"Vaultick4").WriteString(L"NrGiorni", L"x");
    RegKey::Create(HKEY_CURRENT_USER, key + L"Principale").WriteString(L"Orario5", L"12:34:56:78");
    ScheduleSnapshot snapshot;
    LoadSchedule(snapshot);
    EXPECT_FALSE(snapshot.Job(1).atTime);  // unlike the job page, false when missing
    EXPECT_EQ(snapshot.Job(1).time, L"");
    EXPECT_EQ(snapshot.Job(5).time, L"12:34:5");
    EXPECT_TRUE(snapshot.Job(2).everyNHours);
    EXPECT_FALSE(snapshot.Job(4).everyNDays);
    EXPECT_FALSE(snapshot.logEnabled);
    EXPECT_EQ(snapshot.logPath, IncludeTrailingBackslash(ShellFolder(CSIDL_PERSONAL)) + L"Vaultick.log");
}

TEST(Schedule, BlankLogFolderMeansTheDocumentsFolder) {
    test::SettingsGuard guard;
    RegKey log = RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorvi\\DorviVaultick3.7\\FileLog");
    log.WriteString(L"CartDest", L"  ");
    log.WriteString(L"CBAttiva", L"1");
    ScheduleSnapshot snapshot;
    LoadSchedule(snapshot);
    EXPECT_TRUE(snapshot.logEnabled);
    EXPECT_EQ(snapshot.logPath, IncludeTrailingBackslash(ShellFolder(CSIDL_PERSONAL)) + L"Vaultick.log");
    log.WriteString(L"CartDest", L"C:\\Dati\\");
    LoadSchedule(snapshot);
    EXPECT_EQ(snapshot.logPath, L"C:\\Dati\\Vaultick.log");
}

}  // namespace
}  // namespace vt
