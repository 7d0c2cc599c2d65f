#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vt
