#include "app/StartUpDecision.h"

#include "win/Text.h"

namespace vt {

StartUpAction DecideStartUp(const StartUpFacts& facts) {
    if (!EqualsNoCase(facts.programFileName, L"DorviVaultick.Exe")) return StartUpAction::EndSilently;
    if (facts.otherCopyRunning)
        return facts.otherCopyWindowKnown ? StartUpAction::HandOverToOtherCopy : StartUpAction::LeaveToOtherCopy;
    if (!facts.uninstallerPresent) return StartUpAction::ReportMissingUninstaller;
    // The themed controls need the manifest, read only when the program starts.
    if (!facts.manifestPresent && facts.manifestSupported && !facts.manifestRestartFailed)
        return StartUpAction::RestartWithManifest;
    // Only the first argument counts, compared exactly.
    if (facts.firstArgument == kRemovalArgument) return StartUpAction::OpenRemovalDialog;
    if (facts.firstArgument == kAutostartArgument) return StartUpAction::StartHidden;
    return StartUpAction::StartShown;
}

bool AutomaticRunsAllowed(bool startedElevatedFromSplitToken) { return !startedElevatedFromSplitToken; }

}  // namespace vt
