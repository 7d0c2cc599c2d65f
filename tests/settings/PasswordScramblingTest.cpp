#include <gtest/gtest.h>

#include "settings/PasswordScrambling.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"

namespace vt {
namespace {

std::string Bytes(std::initializer_list<int> codes) {
    std::string out;
    for (int code : codes) out += static_cast<char>(code);
    return out;
}

TEST(PasswordScrambling, KnownValuesAndKeyCycle) {
    // '8'+'a'+2 = 155, 'q'+'a'+2 = 212, 'z'+'a'+2 = 221, 'd'+'a'+2 = 199, then '8' again.
    EXPECT_EQ(ScramblePassword(kPasswordKey, "aaaaa"), Bytes({155, 212, 221, 199, 155}));
    EXPECT_EQ(ScramblePassword(kPasswordKey, ""), "");
    EXPECT_EQ(UnscramblePassword(kPasswordKey, ""), "");
}

TEST(PasswordScrambling, WrapsAroundModulo256) {
    // 0xF0 + 'q' + 2 = 355 -> 99 ('c').
    const std::string scrambled = ScramblePassword(kPasswordKey, Bytes({'x', 0xF0}));
    EXPECT_EQ(static_cast<unsigned char>(scrambled[1]), 99);
    EXPECT_EQ(UnscramblePassword(kPasswordKey, scrambled), Bytes({'x', 0xF0}));
}

TEST(PasswordScrambling, EveryPasswordUpTo200BytesComesBack) {
    std::string password;
    for (int length = 0; length <= 200; ++length) {
        const std::string scrambled = ScramblePassword(kPasswordKey, password);
        ASSERT_EQ(scrambled.size(), password.size());
        ASSERT_EQ(UnscramblePassword(kPasswordKey, scrambled), password);
        password += static_cast<char>(1 + (length * 37) % 255);
    }
}

class ScrambledStorage : public ::testing::Test {
protected:
    test::SettingsGuard guard_;
};

TEST_F(ScrambledStorage, EveryByteSurvivesTheRegistryIncludingZero) {
    // 256 - '8' - 2 = 198 ('Æ') scrambles to the byte 0, which a registry string cannot hold.
    EXPECT_EQ(ScramblePassword(kPasswordKey, Bytes({198}))[0], '\0');
    std::string all;
    for (int code = 0; code < 256; ++code) all += static_cast<char>(code);
    {
        SettingsStore store;
        ASSERT_TRUE(store.WriteString(L"Vaultick1", L"ftp-Pswd", ScrambledToStored(all)));
    }
    const std::wstring stored = SettingsStore().ReadString(L"Vaultick1", L"ftp-Pswd", L"");
    ASSERT_EQ(stored.size(), 256u);
    EXPECT_EQ(StoredToScrambled(stored), all);
    // Ordinary bytes keep the stored form an ANSI program would have written.
    EXPECT_EQ(ScrambledToStored("A\xE0"), L"Aà");
    EXPECT_EQ(ScrambledToStored(std::string(1, '\0')), std::wstring(1, wchar_t(0xE000)));
}

TEST_F(ScrambledStorage, PasswordWithAScrambledZeroRoundTrips) {
    const std::string password = Bytes({'p', 198, 'x', 'y', 198});
    const std::wstring stored = ScrambledToStored(ScramblePassword(kPasswordKey, password));
    EXPECT_EQ(UnscramblePassword(kPasswordKey, StoredToScrambled(stored)), password);
}

}  // namespace
}  // namespace vt
