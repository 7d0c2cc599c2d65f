#include <gtest/gtest.h>

#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "win/DateTime.h"
#include "win/RegKey.h"

namespace vt {
namespace {

const std::wstring kMain = L"Software\\Dorvi\\DorviVaultick3.7\\Principale";

class SettingsStoreTest : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
};

TEST_F(SettingsStoreTest, ReadsGiveDefaultsAndCreateNoSection) {
    SettingsStore store;
    EXPECT_TRUE(store.ReadBool(L"Principale", L"TipoOrario4", true));
    EXPECT_FALSE(store.ReadBool(L"Principale", L"TipoOrario4", false));
    EXPECT_EQ(store.ReadString(L"Principale", L"Orario", L"--:--"), L"--:--");
    EXPECT_EQ(store.ReadInteger(L"NrBackup", L"NumBkp", 2), 2);
    EXPECT_FALSE(store.ReadDateTime(L"Vaultick1", L"Tempo").has_value());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMain));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Dorvi\\DorviVaultick3.7\\NrBackup"));
}

TEST_F(SettingsStoreTest, BooleansAndIntegersAreDecimalText) {
    {
        SettingsStore store;
        EXPECT_TRUE(store.WriteBool(L"Principale", L"Attesa", true));
        EXPECT_TRUE(store.WriteBool(L"Principale", L"Attesa2", false));
        EXPECT_TRUE(store.WriteInteger(L"NrBackup", L"NumBkp", 999));
        EXPECT_TRUE(store.WriteInteger(L"Principale", L"Selez", -1));
    }
    RegKey main = RegKey::Open(HKEY_CURRENT_USER, kMain);
    EXPECT_EQ(main.ReadString(L"Attesa"), L"1");
    EXPECT_EQ(main.ReadString(L"Attesa2"), L"0");
    EXPECT_EQ(main.ReadString(L"Selez"), L"-1");
    EXPECT_EQ(RegKey::Open(HKEY_CURRENT_USER, L"Software\\Dorvi\\DorviVaultick3.7\\NrBackup").ReadString(L"NumBkp"),
              L"999");
}

TEST_F(SettingsStoreTest, StoredTextDecidesBooleansAndIntegers) {
    RegKey main = RegKey::Create(HKEY_CURRENT_USER, kMain);
    main.WriteString(L"Two", L"2");
    main.WriteString(L"Letter", L"x");
    main.WriteString(L"Empty", L"");
    main.WriteString(L"Negative", L"-7");
    main.WriteString(L"Trailing", L"12a");
    main.WriteString(L"Huge", L"99999999999");
    SettingsStore store;
    EXPECT_TRUE(store.ReadBool(L"Principale", L"Two", false));
    EXPECT_TRUE(store.ReadBool(L"Principale", L"Letter", true));
    EXPECT_FALSE(store.ReadBool(L"Principale", L"Letter", false));
    EXPECT_TRUE(store.ReadBool(L"Principale", L"Empty", true));
    EXPECT_EQ(store.ReadInteger(L"Principale", L"Negative", 0), -7);
    EXPECT_EQ(store.ReadInteger(L"Principale", L"Trailing", 5), 5);
    EXPECT_EQ(store.ReadInteger(L"Principale", L"Huge", 5), 5);
    // Names are compared as the registry does, without regard to case.
    EXPECT_EQ(store.ReadString(L"principale", L"NEGATIVE", L""), L"-7");
}

TEST_F(SettingsStoreTest, LastRunIsEightBytesOfDaysSince1899) {
    SYSTEMTIME when{};
    when.wYear = 2026; when.wMonth = 12; when.wDay = 7; when.wHour = 18; when.wMinute = 30;
    {
        SettingsStore store;
        ASSERT_TRUE(store.WriteDateTime(L"Vaultick2", L"Tempo", ToDateTime(when)));
    }
    RegKey section = RegKey::Open(HKEY_CURRENT_USER, L"Software\\Dorvi\\DorviVaultick3.7\\Vaultick2");
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExW(section.Get(), L"Tempo", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 8u);
    const auto read = SettingsStore().ReadDateTime(L"Vaultick2", L"Tempo");
    ASSERT_TRUE(read.has_value());
    // 7 December 2026 is day 46363; 18:30 is 0.7708333 of a day.
    EXPECT_NEAR(*read, 46363.0 + 18.5 / 24.0, 1e-9);
    const SYSTEMTIME back = FromDateTime(*read);
    EXPECT_EQ(back.wYear, 2026);
    EXPECT_EQ(back.wMonth, 12);
    EXPECT_EQ(back.wDay, 7);
    EXPECT_EQ(back.wHour, 18);
    EXPECT_EQ(back.wMinute, 30);
    EXPECT_EQ(back.wDayOfWeek, 1);  // a Monday
}

TEST_F(SettingsStoreTest, DateTimeEpochAndLeapDays) {
    SYSTEMTIME epoch{};
    epoch.wYear = 1899; epoch.wMonth = 12; epoch.wDay = 30;
    EXPECT_EQ(ToDateTime(epoch), 0.0);
    EXPECT_EQ(FromDateTime(0.0).wDayOfWeek, 6);  // a Saturday
    SYSTEMTIME leap{};
    leap.wYear = 2000; leap.wMonth = 2; leap.wDay = 29; leap.wHour = 23; leap.wMinute = 59; leap.wSecond = 59;
    const SYSTEMTIME back = FromDateTime(ToDateTime(leap));
    EXPECT_EQ(back.wMonth, 2);
    EXPECT_EQ(back.wDay, 29);
    EXPECT_EQ(back.wSecond, 59);
    EXPECT_EQ(static_cast<int>(ToDateTime(leap)), 36585);
}

}  // namespace
}  // namespace vt
