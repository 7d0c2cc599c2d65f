#include <gtest/gtest.h>

#include <windows.h>

#include "uninstaller/CommandLine.h"
#include "uninstaller/WaitTicks.h"
#include "uninstaller/WholeDrive.h"

namespace vt::sweepex {
namespace {

TEST(CommandLine, OnlyTheExactRequestWordsDoSomething) {
    const Command uninstall = ParseCommand(CommandArguments(L"C:\\Temp\\Sweepex.exe GoUninstal DorviVaultick"));
    EXPECT_EQ(uninstall.mode, Mode::Uninstall);
    EXPECT_EQ(uninstall.argument, L"DorviVaultick");
    const Command launch = ParseCommand(CommandArguments(L"\"C:\\Program Files\\Sweepex.exe\" LanciaFile DorviVaultick.Exe"));
    EXPECT_EQ(launch.mode, Mode::LaunchFile);
    EXPECT_EQ(launch.argument, L"DorviVaultick.Exe");
    for (const wchar_t* line : {L"Sweepex.exe", L"Sweepex.exe goUninstal DorviVaultick", L"Sweepex.exe GOUNINSTAL x",
                                L"Sweepex.exe lanciafile a.exe", L"Sweepex.exe Rimuovi", L""})
        EXPECT_EQ(ParseCommand(CommandArguments(line)).mode, Mode::None) << line;
    EXPECT_EQ(ParseCommand(CommandArguments(L"Sweepex.exe GoUninstal")).argument, L"");
}

TEST(WaitTicks, EndsOnTheNthTickAcrossTheOldThirtyTwoBitWrap) {
    // A clock read in 100 ms steps from just before 2^32 ms, where a 32-bit tick count wraps.
    std::uint64_t now = 0xFFFFFFFFull - 1000;
    WaitTicks(5, [&] { return now; }, [&] { now += 100; });
    const std::uint64_t first = (0xFFFFFFFFull - 1000 + 432) / 864;
    EXPECT_EQ((now + 432) / 864 - first, 5u);
    EXPECT_LT(now - (0xFFFFFFFFull - 1000), 5u * 864 + 100);

    int pauses = 0;
    WaitTicks(0, [] { return std::uint64_t{7}; }, [&] { ++pauses; });
    EXPECT_EQ(pauses, 0);
}

TEST(WholeDrive, RootsOfDrivesAndSharesAreRefused) {
    for (const wchar_t* root : {L"", L"\\", L"C:", L"C:\\", L"c:\\windows\\..", L"\\\\server\\share",
                                L"\\\\server\\share\\", L"\\\\?\\C:\\", L"\\\\?\\UNC\\server\\share"})
        EXPECT_TRUE(NamesWholeDrive(root)) << root;
    for (const wchar_t* folder : {L"C:\\Programmi\\Dorvi", L"\\\\server\\share\\Vaultick", L"sub", L"\\\\?\\C:\\x"})
        EXPECT_FALSE(NamesWholeDrive(folder)) << folder;
}

}  // namespace
}  // namespace vt::sweepex
