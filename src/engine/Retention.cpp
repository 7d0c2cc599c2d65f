#include "engine/Retention.h"

#include "engine/CopyNaming.h"
#include "engine/EngineFiles.h"
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
