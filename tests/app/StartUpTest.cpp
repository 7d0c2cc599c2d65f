#include <gtest/gtest.h>

#include "app/StartUpDecision.h"
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

// A start that finds everything in place, without argument.
StartUpFacts Ordinary() {
    StartUpFacts facts;
    facts.programFileName = L"DorviVaultick.exe";
    facts.uninstallerPresent = facts.manifestPresent = facts.manifestSupported = true;
    return facts;
}

TEST(StartUp, DecisionFollowsTheChecksInTheirOrder) {
    using A = StartUpAction;
    struct Case {
        const char* what;
        void (*change)(StartUpFacts&);
        StartUpAction expected;
    };
    const Case cases[] = {
        {"ordinary", [](StartUpFacts&) {}, A::StartShown},
        {"name in capitals", [](StartUpFacts& f) { f.programFileName = L"DORVIVAULTICK.EXE"; }, A::StartShown},
        {"renamed, with everything else asking for something",
         [](StartUpFacts& f) {
             f.programFileName = L"Vaultick.exe";
             f.otherCopyRunning = f.otherCopyWindowKnown = true;
             f.uninstallerPresent = false;
             f.firstArgument = L"Rimuovi";
         },
         A::EndSilently},
        {"name with a further extension", [](StartUpFacts& f) { f.programFileName = L"DorviVaultick.exe.bak"; },
         A::EndSilently},
        {"other copy, before the missing uninstaller",
         [](StartUpFacts& f) { f.otherCopyRunning = f.otherCopyWindowKnown = true; f.uninstallerPresent = false; },
         A::HandOverToOtherCopy},
        {"other copy asked to remove",
         [](StartUpFacts& f) { f.otherCopyRunning = f.otherCopyWindowKnown = true; f.firstArgument = L"Rimuovi"; },
         A::HandOverToOtherCopy},
        {"other copy whose window is unknown", [](StartUpFacts& f) { f.otherCopyRunning = true; }, A::LeaveToOtherCopy},
        {"uninstaller missing, before the manifest",
         [](StartUpFacts& f) { f.uninstallerPresent = f.manifestPresent = false; }, A::ReportMissingUninstaller},
        {"manifest missing", [](StartUpFacts& f) { f.manifestPresent = false; }, A::RestartWithManifest},
        {"manifest missing, before the removal",
         [](StartUpFacts& f) { f.manifestPresent = false; f.firstArgument = L"Rimuovi"; }, A::RestartWithManifest},
        {"manifest missing on a system that reads none",
         [](StartUpFacts& f) { f.manifestPresent = f.manifestSupported = false; }, A::StartShown},
        {"manifest restart failed, from the autostart entry",
         [](StartUpFacts& f) { f.manifestPresent = false; f.manifestRestartFailed = true; f.firstArgument = L"/go"; },
         A::StartHidden},
        {"removal", [](StartUpFacts& f) { f.firstArgument = L"Rimuovi"; }, A::OpenRemovalDialog},
        {"removal in other letters", [](StartUpFacts& f) { f.firstArgument = L"rimuovi"; }, A::StartShown},
        {"autostart", [](StartUpFacts& f) { f.firstArgument = L"/go"; }, A::StartHidden},
        {"autostart in capitals", [](StartUpFacts& f) { f.firstArgument = L"/GO"; }, A::StartShown},
        {"other argument", [](StartUpFacts& f) { f.firstArgument = L"/go "; }, A::StartShown},
    };
    for (const Case& c : cases) {
        StartUpFacts facts = Ordinary();
        c.change(facts);
        EXPECT_EQ(DecideStartUp(facts), c.expected) << c.what;
    }
}

TEST(StartUp, EveryCombinationOfFactsGivesAConsistentAction) {
    const wchar_t* arguments[] = {L"", L"/go", L"Rimuovi", L"RIMUOVI", L"/go/go", L"x"};
    for (unsigned bits = 0; bits < (1u << 7); ++bits) {
        for (const wchar_t* argument : arguments) {
            StartUpFacts f;
            f.programFileName = bits & 1 ? L"dorvivaultick.exe" : L"Sweepex.exe";
            f.otherCopyRunning = bits & 2;
            f.otherCopyWindowKnown = bits & 4;
            f.uninstallerPresent = bits & 8;
            f.manifestPresent = bits & 16;
            f.manifestSupported = bits & 32;
            f.manifestRestartFailed = bits & 64;
            f.firstArgument = argument;
            const StartUpAction a = DecideStartUp(f);
            const bool ourName = bits & 1;
            // Only a program under our name does anything; a second copy never opens a window.
            EXPECT_EQ(a == StartUpAction::EndSilently, !ourName);
            const bool started = a == StartUpAction::StartShown || a == StartUpAction::StartHidden ||
                                 a == StartUpAction::OpenRemovalDialog;
            EXPECT_TRUE(!(ourName && f.otherCopyRunning) || a == StartUpAction::HandOverToOtherCopy ||
                        a == StartUpAction::LeaveToOtherCopy);
            EXPECT_TRUE(a != StartUpAction::HandOverToOtherCopy || f.otherCopyWindowKnown);
            // A restart only when it is needed, possible and not tried yet: no restart loop.
            EXPECT_TRUE(a != StartUpAction::RestartWithManifest ||
                        (!f.manifestPresent && f.manifestSupported && !f.manifestRestartFailed));
            // Nothing starts without the uninstaller; the arguments count only exactly.
            EXPECT_TRUE(!started || f.uninstallerPresent);
            EXPECT_EQ(a == StartUpAction::OpenRemovalDialog,
                      ourName && !f.otherCopyRunning && f.uninstallerPresent &&
                          (f.manifestPresent || !f.manifestSupported || f.manifestRestartFailed) &&
                          std::wstring(argument) == L"Rimuovi");
            EXPECT_TRUE(a != StartUpAction::StartHidden || std::wstring(argument) == L"/go");
        }
    }
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
