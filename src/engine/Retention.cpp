#include "engine/Retention.h"

#include "engine/CopyNaming.h"
#include "engine/CopyPolicy.h"
#include "engine/EngineFiles.h"
#include "engine/TimeStamps.h"
#include "win/Failure.h"
#include "win/Text.h"

namespace vt {

void RemoveOldCopies(RunContext& run, const std::wstring& destination, unsigned keep, const std::wstring& copyName) {
    run.Status(L"ATTENDERE! Rimozione copia backup in corso...");
    const auto entries = ListFolder(destination);
    if (!entries) return;
    std::vector<std::wstring> folders;
    for (const FolderEntry& entry : *entries)
        if (entry.IsFolder() && !(entry.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            folders.push_back(entry.name);
    for (const std::wstring& name : CopiesToRemove(folders, copyName, keep))
        DeleteCopyTree(run, destination + L"\\" + name + L"\\");
}

void CopyUnderPolicy(RunContext& run, const std::wstring& destination, const std::wstring& copyName,
                     const std::function<void()>& copy) {
    const CopyPolicy policy = ReadCopyPolicy();
    switch (policy.kind) {
        case CopyPolicy::NoCopies:
            RemoveOldCopies(run, destination, 0, copyName);
            copy();
            run.Log(L"Singola copia effettuata : " + LogTimeNow());
            break;
        case CopyPolicy::Unlimited:
            copy();
            run.Log(L"Copia infinita effettuata : " + LogTimeNow());
            break;
        case CopyPolicy::Limited:
            RemoveOldCopies(run, destination, policy.keep, copyName);
            copy();
            run.Log(L"Copia limitata nel numero effettuata : " + LogTimeNow());
            break;
        case CopyPolicy::None: break;
    }
}

void DeleteCopyTree(RunContext& run, const std::wstring& folder) {
    if (run.stopRequested) return;
    const std::vector<FolderEntry> entries = ListFolder(folder).value_or(std::vector<FolderEntry>{});
    for (const FolderEntry& entry : entries) {
        if (entry.IsFolder()) continue;
        if (run.AskStop(L"ATTENDERE... Chiusura in corso.")) return;
        run.host.Repaint();
        DeleteFileForced(folder + entry.name);
    }
    for (const FolderEntry& entry : entries) {
        if (!entry.IsFolder() || entry.name[0] == L'.') continue;
        // A link inside an old copy goes alone; what it leads to is not part of the copy.
        if (entry.IsLinkedFolder()) RemoveEmptyFolder(folder + entry.name);
        else DeleteCopyTree(run, folder + entry.name + L"\\");
    }
    // A stop below leaves this folder as it is: stopping is not a failure.
    if (run.stopRequested) return;
    if (!RemoveEmptyFolder(folder)) throw Failure("cannot remove " + ToUtf8(folder));
}

}  // namespace vt
