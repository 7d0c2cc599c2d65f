#include <gtest/gtest.h>

#include "about/MemoryLines.h"

namespace vt {
namespace {

const LCID kItalian = MAKELCID(0x0410, SORT_DEFAULT);

TEST(MemoryLines, ItalianThousandsSeparators) {
    const std::uint64_t mb512 = 512ull * 1024 * 1024;
    EXPECT_EQ(TotalMemoryLine(mb512, kItalian), L"Memoria fisica disponibile 524.288 Kb");
    EXPECT_EQ(UsedMemoryLine(mb512, 50, kItalian), L"Memoria in uso 50% (262.144 Kb)");
    // Beyond 4 GiB, and a used share that needs rounding.
    const std::uint64_t gb6 = 6ull * 1024 * 1024 * 1024;
    EXPECT_EQ(TotalMemoryLine(gb6, kItalian), L"Memoria fisica disponibile 6.291.456 Kb");
    EXPECT_EQ(UsedMemoryLine(gb6, 37, kItalian), L"Memoria in uso 37% (2.327.839 Kb)");
    EXPECT_EQ(TotalMemoryLine(999 * 1024, kItalian), L"Memoria fisica disponibile 999 Kb");
    EXPECT_EQ(UsedMemoryLine(0, 0, kItalian), L"Memoria in uso 0% (0 Kb)");
}

TEST(MemoryLines, UserLocaleGroupsTheSameDigits) {
    const std::wstring line = TotalMemoryLine(512ull * 1024 * 1024, LOCALE_USER_DEFAULT);
    const std::wstring prefix = L"Memoria fisica disponibile ";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    ASSERT_TRUE(line.ends_with(L" Kb")) << line;
    const std::wstring number = line.substr(prefix.size(), line.size() - prefix.size() - 3);
    wchar_t separator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    EXPECT_EQ(number, L"524" + std::wstring(separator) + L"288");
}

TEST(MemoryLines, RunningSystemHasMemory) {
    const MemoryStatus status = ReadMemoryStatus();
    EXPECT_GT(status.totalBytes, 0u);
    EXPECT_LE(status.loadPercent, 100u);
}

}  // namespace
}  // namespace vt
