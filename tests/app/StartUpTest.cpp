#include <gtest/gtest.h>

#include <random>

#include "app/StartUpSettings.h"
#include "support/RegistryGuard.h"
#include "win/Paths.h"
#include "win/ProcessList.h"

namespace vt {
namespace {

TEST(StartUp, TheInstallationDialogIsDueUnlessTheStoreSaysItWasDone) {
    EXPECT_FALSE(FirstRunDue(StartUpSettings{false, L"3.7", true}));
    EXPECT_TRUE(FirstRunDue(StartUpSettings{true, L"3.7", true}));
    EXPECT_TRUE(FirstRunDue(StartUpSettings{false, L"3.6", true}));
    EXPECT_TRUE(FirstRunDue(StartUpSettings{false, L"3.7 ", false}));
    EXPECT_TRUE(FirstRunDue(StartUpSettings{false, L"", false}));
    // Nothing could be read: no version, so not this one.
    EXPECT_TRUE(FirstRunDue(std::nullopt));

    test::SettingsGuard guard;
    const auto defaults = ReadStartUpSettings();
    ASSERT_TRUE(defaults);
    EXPECT_TRUE(defaults->showInst && defaults->programOn);
    EXPECT_EQ(defaults->version, L"");
}

TEST(StartUp, OnlyCopiesInTheCallersSessionCount) {
    const std::vector<RunningProcess> processes{
        {L"DorviVaultick.exe", 1}, {L"DORVIVAULTICK.EXE", 1}, {L"DorviVaultick.exe", 2},
        {L"DorviVaultick.exe", std::nullopt}, {L"explorer.exe", 1}, {L"DorviVaultick.exe.bak", 1}};
    EXPECT_EQ(CountInSession(processes, L"DorviVaultick.exe", 1), 2);
    EXPECT_EQ(CountInSession(processes, L"DorviVaultick.exe", 2), 1);
    EXPECT_EQ(CountInSession(processes, L"DorviVaultick.exe", 3), 0);
    EXPECT_EQ(CountInSession({}, L"DorviVaultick.exe", 1), 0);
    // This very process runs in its own session.
    EXPECT_EQ(CountProcessesInOwnSession(FileNameOf(ModuleFileName())), 1);
}

TEST(StartUp, ACountNeverTakesAnotherSessionOrAnotherName) {
    std::mt19937 random(1302);
    const std::wstring names[] = {L"DorviVaultick.exe", L"dorvivaultick.EXE", L"Sweepex.exe", L"DorviVaultick", L""};
    for (int round = 0; round < 500; ++round) {
        std::vector<RunningProcess> processes(random() % 12);
        int expected = 0;
        for (RunningProcess& process : processes) {
            process.exeFile = names[random() % 5];
            if (random() % 4) process.session = static_cast<DWORD>(random() % 3);
            if (process.session == 1u && (process.exeFile == names[0] || process.exeFile == names[1])) ++expected;
        }
        EXPECT_EQ(CountInSession(processes, L"DorviVaultick.exe", 1), expected);
    }
}

}  // namespace
}  // namespace vt
