#include <gtest/gtest.h>

#include "win/Text.h"

namespace vt {
namespace {

TEST(Text, AnsiRoundTripAndWhatDoesNotFit) {
    EXPECT_EQ(ToAnsi(L"più €"), "pi\xF9 \x80");
    EXPECT_EQ(FromAnsi("pi\xF9 \x80"), L"più €");
    EXPECT_TRUE(FitsAnsi(L"C:\\Città\\è"));
    EXPECT_FALSE(FitsAnsi(L"C:\\Łódź"));  // best fit would silently give "Lodz"
    EXPECT_FALSE(FitsAnsi(L"日本"));
    EXPECT_EQ(FromUtf8(ToUtf8(L"Łódź")), L"Łódź");
}

TEST(Text, IntegersAreDecimalTextOnly) {
    int value = 0;
    EXPECT_TRUE(ParseInteger(L"12", value) && value == 12);
    EXPECT_TRUE(ParseInteger(L"-1", value) && value == -1);
    EXPECT_TRUE(ParseInteger(L"+3", value) && value == 3);
    EXPECT_TRUE(ParseInteger(L"2147483647", value) && value == 2147483647);
    EXPECT_TRUE(ParseInteger(L"-2147483648", value) && value == -2147483647 - 1);
    for (const wchar_t* bad : {L"", L"-", L"x", L"1x", L"2147483648", L"1.5", L"99999999999999999999"})
        EXPECT_FALSE(ParseInteger(bad, value)) << bad;
}

TEST(Text, CaseInsensitiveNames) {
    EXPECT_TRUE(EqualsNoCase(L"DorviVaultick.Exe", L"dorvivaultick.exe"));
    EXPECT_FALSE(EqualsNoCase(L"DorviVaultick.Exe", L"DorviVaultick.Exe2"));
    EXPECT_EQ(ToLower(L"C:\\DOCUMENTI\\Città"), L"c:\\documenti\\città");
}

}  // namespace
}  // namespace vt
