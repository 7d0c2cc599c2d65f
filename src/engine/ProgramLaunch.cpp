#include "engine/ProgramLaunch.h"

#include "engine/TimeStamps.h"
#include "win/Paths.h"
#include "win/StartProgram.h"

namespace vt {

namespace {
// What the shell was always given at most; longer texts are refused, never cut.
constexpr size_t kMaxShellText = 512;
}  // namespace

void RunLaunchJob(RunContext& run) {
    run.host.Repaint();
    const std::wstring& file = run.job.program;
    const std::wstring& parameters = run.job.commandLine;
    if (!FileExists(file)) {
        run.Fail(L"Il file selezionato non è stato trovato");
        return;
    }
    const std::wstring folder = IncludeTrailingBackslash(FolderOf(file));
    if (file.size() > kMaxShellText || parameters.size() > kMaxShellText) {
        run.Fail(L"Percorso o parametri oltre 512 caratteri: il programma selezionato non è stato lanciato");
        return;
    }
    if (StartProgram(file, parameters, folder, SW_SHOWNORMAL))
        run.Log(L"File lanciato : " + LogTimeNow());
    else
        run.Fail(L"Si sono riscontrati dei problemi nell'eseguire il programma selezionato");
}

}  // namespace vt
