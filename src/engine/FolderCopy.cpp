#include "engine/FolderCopy.h"

#include <algorithm>

#include "engine/CopyNaming.h"
#include "engine/CopyPool.h"
#include "engine/EngineFiles.h"
#include "engine/FtpUpload.h"
#include "engine/Retention.h"
#include "engine/SourceWalk.h"
#include "engine/TimeStamps.h"
#include "win/Clock.h"
#include "win/FileHelpers.h"
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
    if (run.job.destIsFtp) return RunFtpFolderJob(run);
    // Typed by the user: "D:\Backup." means "D:\Backup", as everywhere else in Windows.
    const std::wstring source = TypedPath(run.job.source);
    const std::wstring destination = TypedPath(run.job.destination);
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
    if (!CheckSourceRoot(run) || !CheckSourceNotEmptied(run, destination, copyName)) return;

    run.stopRequested = false;
    CopyUnderPolicy(run, destination, copyName,
                    [&](const std::wstring& previous) { CopyFolderTree(run, destination, copyName, previous); });
}

bool CheckSourceRoot(RunContext& run) {
    const std::wstring root = run.sourceRoot + L"\\";
    if (!FolderExists(LongPath(root))) {
        run.Refuse(L"Cartella sorgente inesistente.");
        return false;
    }
    // A root that cannot be read would make an empty copy, and the policy would remove the
    // earlier copies that still hold the data.
    if (!ListFolder(root)) {
        run.Refuse(L"Cartella non copiata (non leggibile) : " + ShownFolder(root));
        return false;
    }
    return true;
}

bool CheckSourceNotEmptied(RunContext& run, const std::wstring& destination, const std::wstring& copyName) {
    const auto entries = ListFolder(run.sourceRoot + L"\\");
    if (!entries || !entries->empty()) return true;
    const auto copies = ListFolder(destination);
    if (!copies || OldCopiesToRemove(*copies, copyName, 0).empty()) return true;
    run.Refuse(L"Cartella sorgente vuota : " + ShownFolder(run.sourceRoot + L"\\"));
    return false;
}

void CopyFolderTree(RunContext& run, const std::wstring& destination, const std::wstring& copyName,
                    const std::wstring& previousCopy) {
    const std::wstring datedDestination = LongPath(run.datedDestination);
    const std::wstring previous = previousCopy.empty() ? L"" : LongPath(previousCopy);
    CopyPool pool(run, !previous.empty());
    bool copyMade = false;
    std::wstring notLinkedBelow;  // a folder of the previous copy that is a link
    SourceWalk walk(run, [&](const std::wstring& folder, const std::vector<FolderEntry>& entries) {
        run.Status(L"ATTENDERE! Copia backup in corso... Premere <Esc> per fermare");
        // Paths once per folder, not per file.
        const std::wstring from = LongPath(folder);
        const std::wstring relative = RelativeFolder(run.sourceRoot, folder, false);
        const std::wstring to = datedDestination + relative;
        // Linking through a link in the previous copy would share a file outside our copies.
        bool linkHere = pool.Linking();
        if (linkHere && !notLinkedBelow.empty() &&
            _wcsnicmp(relative.c_str(), notLinkedBelow.c_str(), notLinkedBelow.size()) == 0) {
            linkHere = false;
        } else if (linkHere && IsLinkPath(previous + relative.substr(0, relative.size() - 1))) {
            notLinkedBelow = relative;
            linkHere = false;
        }
        bool first = true;
        for (const FolderEntry& entry : entries) {
            if (entry.IsFolder()) continue;
            if (!pool.Continue()) return false;
            // The copy's own folder is made here, before the walk lists what may hold it; then the
            // worker of a folder's first file makes that folder, so a folder is made only when a
            // file of it is copied, as far ahead as the walk may be after a stop.
            if (!copyMade) {
                copyMade = true;
                first = !CreateFolderPath(to);  // not made here: the worker tries again
            }
            FileCopy file{from + entry.name, to + entry.name, L"", FileStamp{entry.size, entry.lastWrite, entry.attributes},
                          first};
            first = false;
            if (linkHere && pool.Linking()) file.previous = previous + relative + entry.name;
            if (!pool.Add(std::move(file), folder + entry.name)) return false;
        }
        return true;
    });
    walk.SetLog([&](const std::wstring& line, bool failure) { pool.Log(line, failure); });
    walk.ExcludeCopies(destination);
    walk.Run(run.sourceRoot + L"\\");
    pool.Finish();
}

}  // namespace vt
