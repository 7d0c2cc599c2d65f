#pragma once
// What a start of the program does, decided from what it finds before any window exists.
#include <string>

namespace vt {

// The first command-line argument of a start from the autostart entry, and of a start from
// the removal shortcut.
inline constexpr wchar_t kAutostartArgument[] = L"/go";
inline constexpr wchar_t kRemovalArgument[] = L"Rimuovi";

struct StartUpFacts {
    std::wstring programFileName;     // of the running executable, without folder
    bool otherCopyRunning = false;
    bool otherCopyWindowKnown = false;  // "HProc" names the other copy's main window
    bool uninstallerPresent = false;
    bool manifestPresent = false;
    bool manifestSupported = false;     // the system reads a manifest (XP or later)
    bool manifestRestartFailed = false; // tried once already: start-up goes on without it
    std::wstring firstArgument;
};

enum class StartUpAction {
    EndSilently,               // started under another file name
    HandOverToOtherCopy,       // post the hand-over to the other copy's window, then end
    LeaveToOtherCopy,          // another copy runs but cannot be told: end
    ReportMissingUninstaller,  // "File mancante:" box, then end
    RestartWithManifest,       // write the manifest and let the uninstaller start us again
    OpenRemovalDialog,         // the removal dialog alone, then end
    StartHidden,               // resident from the autostart entry: start-up jobs, no window
    StartShown,
};

StartUpAction DecideStartUp(const StartUpFacts& facts);

// Runs that start by themselves (at a time, at logon, the catch-up of an interval, at the end of
// the session) read jobs that programs without administrator rights can rewrite: a program
// started as administrator makes none of them. Runs by "Avvia" are the user's own and still run.
bool AutomaticRunsAllowed(bool startedElevatedFromSplitToken);
inline constexpr wchar_t kElevatedStartNotice[] =
    L"Il programma è stato avviato come amministratore:\ri backup automatici vengono eseguiti solo con un avvio "
    L"normale.\rIl pulsante \"Avvia\" resta disponibile.";
}  // namespace vt
