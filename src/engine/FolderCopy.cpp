#include "engine/FolderCopy.h"

#include <algorithm>

#include "engine/CopyNaming.h"
#include "engine/EngineFiles.h"
#include "engine/FtpUpload.h"
#include "engine/Retention.h"
#include "engine/TimeStamps.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "win/Clock.h"
#include "win/Paths.h"

namespace vt {

std::wstring SourceRoot(const std::wstring& source) {
    if (source.size() == 3) return source.substr(0, 2);
    // "C:\Dati\" visits the same folders as "C:\Dati", and logs them without a doubled "\".
    std::wstring root = source;
    while (root.size() > 1 && root.back() == L'\\') root.pop_back();
    return root;
}

std::wstring RelativeFolder(const std::wstring& sourceRoot, const std::wstring& folder, bool forFtp) {
    std::wstring relative = folder.substr(std::min(sourceRoot.size(), folder.size()));
    if (forFtp) std::replace(relative.begin(), relative.end(), L'\\', L'/');
    return relative;
}

void RunFolderJob(RunContext& run) {
    if (run.destIsFtp) return RunFtpFolderJob(run);
    std::wstring source, destination;
    {
        const SettingsStore store;
        source = store.ReadString(kMainSection, SlotValueName(L"Sorgente", run.slot), L"");
        destination = store.ReadString(kMainSection, SlotValueName(L"Destinazione", run.slot), L"");
    }
    const std::wstring stamp = FolderStamp(LocalNow());
    const std::wstring copyName = SourceFolderName(source);
    run.datedDestination = LocalDatedDestination(destination, copyName + L"_" + stamp);
    run.sourceRoot = SourceRoot(source);

    // An empty source or destination is not ready: the first would copy the current folder,
    // the second would write into the root of the current drive.
    if (run.sourceRoot.empty() || (run.sourceRoot[0] != L'\\' && !DriveReady(run.sourceRoot[0])))
        return run.Refuse(L"Percorso sorgente non pronto : " + run.sourceRoot);
    if (destination.empty() || (run.datedDestination[0] != L'\\' && run.datedDestination[0] != L'/' &&
                                !DriveReady(run.datedDestination[0])))
        return run.Refuse(L"Percorso destinazione non pronto : " + run.datedDestination);
    if (!FolderExists(LongPath(run.sourceRoot + L"\\")))
        return run.Refuse(L"Cartella sorgente inesistente.");

    run.stopRequested = false;
    CopyUnderPolicy(run, destination, copyName, [&] { CopyFolderTree(run, run.sourceRoot + L"\\"); });
}

void CopyFolderTree(RunContext& run, const std::wstring& folder) {
    if (run.stopRequested) return;
    run.Status(L"ATTENDERE! Copia backup in corso... Premere <Esc> per fermare");
    const std::vector<FolderEntry> entries = ListFolder(folder).value_or(std::vector<FolderEntry>{});
    const std::wstring target = run.datedDestination + RelativeFolder(run.sourceRoot, folder, false);
    // Both paths once per folder, not per file.
    const std::wstring from = LongPath(folder), to = LongPath(target);
    bool targetMade = false;
    for (const FolderEntry& entry : entries) {
        if (entry.IsFolder()) continue;
        if (run.AskStop(L"ATTENDERE! Chiusura in corso...")) return;
        run.host.Repaint();
        if (!targetMade) targetMade = CreateFolderPath(to);
        // A target folder removed meanwhile is made again before the file counts as failed.
        const bool copied = CopyFileOverwrite(from + entry.name, to + entry.name) ||
                            (CreateFolderPath(to) && CopyFileOverwrite(from + entry.name, to + entry.name));
        if (!copied) run.Log(L"File non copiato (corrotto o in uso) : " + folder + entry.name);
    }
    for (const FolderEntry& entry : entries) {
        if (!entry.IsFolder() || entry.name[0] == L'.') continue;
        run.host.SetClockText(ClockText(LocalNow(), L"."));
        CopyFolderTree(run, folder + entry.name + L"\\");
    }
}

}  // namespace vt
