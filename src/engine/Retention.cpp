#include "engine/Retention.h"

#include <algorithm>

#include "engine/CopyNaming.h"
#include "engine/CopyPolicy.h"
#include "engine/EngineFiles.h"
#include "engine/LinkedCopy.h"
#include "engine/TimeStamps.h"
#include "win/Paths.h"
#include "win/TreeDeletion.h"

namespace vt {

std::vector<FolderEntry> OldCopiesToRemove(const std::vector<FolderEntry>& listed, const std::wstring& copyName,
                                           unsigned keep) {
    std::vector<std::wstring> names;
    for (const FolderEntry& entry : listed)
        if (entry.IsFolder() && !(entry.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            names.push_back(entry.name);
    std::vector<FolderEntry> removed;
    for (const std::wstring& name : CopiesToRemove(names, copyName, keep))
        removed.push_back(*std::find_if(listed.begin(), listed.end(), [&](const FolderEntry& e) { return e.name == name; }));
    return removed;
}

CopyRemoval RemovalOf(const FolderEntry& folder) { return folder.IsLink() ? CopyRemoval::Link : CopyRemoval::Tree; }

void RemoveOldCopies(RunContext& run, const std::wstring& destination, unsigned keep, const std::wstring& copyName) {
    run.Status(L"ATTENDERE! Rimozione copia backup in corso...");
    const auto entries = ListFolder(destination);
    if (!entries) return;
    for (const FolderEntry& copy : OldCopiesToRemove(*entries, copyName, keep)) {
        const std::wstring folder = ExcludeTrailingBackslash(destination) + L"\\" + copy.name;
        const bool removed =
            RemovalOf(copy) == CopyRemoval::Link ? RemoveEmptyFolder(folder) : DeleteCopyTree(run, folder + L"\\");
        if (run.stopRequested) return;
        // The copy stays as it is; it is caught up with at a later run, and no other copy is
        // removed in its place.
        if (!removed) run.Fail(L"Copia precedente non rimossa : " + folder);
    }
}

namespace {

// The copy this run shares unchanged files with, looked up after the retention.
std::wstring SharedCopy(const RunContext& run, const CopyPolicy& policy, const std::wstring& destination,
                        const std::wstring& copyName) {
    if (!policy.linkUnchanged || run.stopRequested) return L"";
    const auto entries = ListFolder(destination);
    if (!entries) return L"";
    const std::wstring thisCopy = run.datedDestination.substr(run.datedDestination.rfind(L'\\') + 1);
    const std::wstring name = PreviousCopyName(*entries, copyName, thisCopy);
    return name.empty() ? L"" : LocalDatedDestination(destination, name);
}

}  // namespace

void CopyUnderPolicy(RunContext& run, const std::wstring& destination, const std::wstring& copyName,
                     const std::function<void(const std::wstring& previousCopy)>& copy) {
    const CopyPolicy policy = ReadCopyPolicy();
    switch (policy.kind) {
        case CopyPolicy::NoCopies:
            RemoveOldCopies(run, destination, 0, copyName);
            copy(SharedCopy(run, policy, destination, copyName));
            run.Log(L"Singola copia effettuata : " + LogTimeNow());
            break;
        case CopyPolicy::Unlimited:
            copy(SharedCopy(run, policy, destination, copyName));
            run.Log(L"Copia infinita effettuata : " + LogTimeNow());
            break;
        case CopyPolicy::Limited:
            RemoveOldCopies(run, destination, policy.keep, copyName);
            copy(SharedCopy(run, policy, destination, copyName));
            run.Log(L"Copia limitata nel numero effettuata : " + LogTimeNow());
            break;
        case CopyPolicy::None: break;
    }
}

bool DeleteCopyTree(RunContext& run, const std::wstring& folder) {
    if (run.stopRequested) return false;
    TreeDeletion how;
    // A stop below, or a folder that stays, leaves this folder as it is.
    how.stopAtFolderThatStays = true;
    how.beforeFile = [&run] {
        if (run.AskStop(L"ATTENDERE... Chiusura in corso.")) return false;
        run.host.Repaint();
        return true;
    };
    const std::wstring path = ExcludeTrailingBackslash(folder);
    return DeleteTreeBelow(FolderOf(path), FileNameOf(path), how);
}

}  // namespace vt
