#include "engine/Retention.h"

#include <algorithm>

#include "engine/CopyNaming.h"
#include "engine/CopyPolicy.h"
#include "engine/EngineFiles.h"
#include "engine/LinkedCopy.h"
#include "engine/TimeStamps.h"
#include "settings/JobNames.h"
#include "settings/JobValues.h"
#include "win/Paths.h"
#include "win/TreeDeletion.h"

namespace vt {

std::vector<FolderEntry> OldCopiesToRemove(const std::vector<FolderEntry>& listed, const std::wstring& copyName,
                                           unsigned keep, const std::vector<std::wstring>& protectedNames) {
    std::vector<std::wstring> names;
    for (const FolderEntry& entry : listed)
        if (entry.IsFolder() && !(entry.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            names.push_back(entry.name);
    std::vector<FolderEntry> removed;
    for (const std::wstring& name : CopiesToRemove(names, copyName, keep, protectedNames))
        removed.push_back(*std::find_if(listed.begin(), listed.end(), [&](const FolderEntry& e) { return e.name == name; }));
    return removed;
}

CopyRemoval RemovalOf(const FolderEntry& folder) { return folder.IsLink() ? CopyRemoval::Link : CopyRemoval::Tree; }

namespace {

constexpr wchar_t kRemoving[] = L"ATTENDERE! Rimozione copia backup in corso...";

// The name of a recorded copy when it lies in destination, else "".
std::wstring NameIn(const std::wstring& destination, const std::wstring& recorded) {
    const size_t cut = recorded.rfind(L'\\');
    if (cut == std::wstring::npos || destination.empty()) return L"";
    return SamePath(recorded.substr(0, cut + 1), destination) ? recorded.substr(cut + 1) : L"";
}

// A link goes alone. Wine shows a Unix symbolic link as a reparse point without a tag, and the
// system's removal of it acts on what it leads to (an empty folder would go, a full one stays):
// such a link stays, and the copy with it.
bool RemoveLink(const std::wstring& path, const FolderEntry& link) {
    return link.reparseTag != 0 && RemoveEmptyFolder(path);
}

bool RemoveCopy(RunContext& run, const std::wstring& destination, const FolderEntry& copy) {
    const std::wstring folder = ExcludeTrailingBackslash(destination) + L"\\" + copy.name;
    const bool removed =
        RemovalOf(copy) == CopyRemoval::Link ? RemoveLink(folder, copy) : DeleteCopyTree(run, folder + L"\\");
    if (run.stopRequested) return false;
    // The copy stays as it is; it is caught up with at a later run, and no other copy is
    // removed in its place.
    if (!removed) run.Fail(L"Copia precedente non rimossa : " + folder);
    return true;
}

}  // namespace

std::vector<std::wstring> ProtectedCopies(const std::wstring& destination) {
    std::vector<std::wstring> names;
    const SettingsStore store;
    for (int slot = 1; slot <= kJobCount; ++slot) {
        const std::wstring name = NameIn(destination, ReadLastCompleteCopy(store, slot));
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

std::wstring RemoveOldCopies(RunContext& run, const std::wstring& destination, unsigned keep,
                             const std::wstring& copyName) {
    run.Status(kRemoving);
    const auto entries = ListFolder(destination);
    if (!entries) return L"";
    for (const FolderEntry& copy : OldCopiesToRemove(*entries, copyName, keep, ProtectedCopies(destination)))
        if (!RemoveCopy(run, destination, copy)) return L"";
    // This job's last complete copy, when the policy alone would have removed it.
    const std::wstring own = NameIn(destination, ReadLastCompleteCopy(SettingsStore(), run.slot));
    for (const FolderEntry& copy : OldCopiesToRemove(*entries, copyName, keep))
        if (!own.empty() && _wcsicmp(copy.name.c_str(), own.c_str()) == 0) return copy.name;
    return L"";
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

// After a complete copy: it is the job's last complete copy from now on, and the one before goes
// when only that rule had kept it.
void CloseCompleteCopy(RunContext& run, const std::wstring& destination, const std::wstring& keptOnlyByRule) {
    // A source of empty folders makes no folder: there is no copy to stand for the earlier one.
    if (run.stopRequested || run.failureLogged || !FolderExists(LongPath(run.datedDestination))) return;
    if (!WriteLastCompleteCopy(run.slot, run.datedDestination) || keptOnlyByRule.empty()) return;
    // Still somebody's last complete copy: this very copy (a second run in the same second writes
    // into the same folder), or another job's that shares the copy name.
    for (const std::wstring& recorded : ProtectedCopies(destination))
        if (_wcsicmp(recorded.c_str(), keptOnlyByRule.c_str()) == 0) return;
    const auto entries = ListFolder(destination);
    if (!entries) return;
    for (const FolderEntry& copy : *entries)
        if (copy.IsFolder() && _wcsicmp(copy.name.c_str(), keptOnlyByRule.c_str()) == 0) {
            run.Status(kRemoving);
            RemoveCopy(run, destination, copy);
            return;
        }
}

}  // namespace

void CopyUnderPolicy(RunContext& run, const std::wstring& destination, const std::wstring& copyName,
                     const std::function<void(const std::wstring& previousCopy)>& copy) {
    const CopyPolicy policy = ReadCopyPolicy();
    std::wstring closing;
    std::wstring keptOnlyByRule;
    switch (policy.kind) {
        case CopyPolicy::NoCopies:
            keptOnlyByRule = RemoveOldCopies(run, destination, 0, copyName);
            closing = L"Singola copia effettuata : ";
            break;
        case CopyPolicy::Unlimited: closing = L"Copia infinita effettuata : "; break;
        case CopyPolicy::Limited:
            keptOnlyByRule = RemoveOldCopies(run, destination, policy.keep, copyName);
            closing = L"Copia limitata nel numero effettuata : ";
            break;
        case CopyPolicy::None: return;
    }
    copy(SharedCopy(run, policy, destination, copyName));
    CloseCompleteCopy(run, destination, keptOnlyByRule);
    run.Log(closing + LogTimeNow());
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
    how.attributeNotRestored = [&run, &folder](const std::wstring& below) {
        run.Fail(L"Attributo di sola lettura non ripristinato : " + folder + below);
    };
    const std::wstring path = ExcludeTrailingBackslash(folder);
    return DeleteTreeBelow(FolderOf(path), FileNameOf(path), how);
}

}  // namespace vt
