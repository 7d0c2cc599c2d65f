#include "engine/FileListCopy.h"

#include <map>

#include "engine/CopyNaming.h"
#include "engine/CopyPool.h"
#include "engine/EngineFiles.h"
#include "engine/FtpUpload.h"
#include "engine/Retention.h"
#include "engine/TimeStamps.h"
#include "settings/FileListFile.h"
#include "win/Clock.h"

namespace vt {

std::wstring EntryFileName(const std::wstring& entry) {
    const size_t cut = entry.find_last_of(L"\\:");
    return cut == std::wstring::npos ? entry : entry.substr(cut + 1);
}

void RunFileListJob(RunContext& run, const std::wstring& dataFolder) {
    if (run.job.destIsFtp && !ConnectFtp(run)) return;
    const std::vector<std::wstring> files =
        ReadFileList(FileListPath(dataFolder, run.slot)).value_or(std::vector<std::wstring>{});
    const std::wstring destination = TypedPath(run.job.fileListDestination);
    if (files.empty()) return;
    if (run.job.destIsFtp) return RunFtpFileListJob(run, files);

    const std::wstring copyName = L"File" + std::to_wstring(run.slot);
    run.datedDestination = LocalDatedDestination(destination, copyName + L"_" + FolderStamp(LocalNow()));
    // An empty destination would write into the root of the current drive.
    if (destination.empty() || (run.datedDestination[0] != L'\\' && run.datedDestination[0] != L'/' &&
                                !DriveReady(run.datedDestination[0])))
        return run.Refuse(L"Percorso destinazione non pronto : " + run.datedDestination);
    run.stopRequested = false;
    run.Status(L"ATTENDERE! Copia backup in corso... Premere <Esc> per fermare");
    CopyUnderPolicy(run, destination, copyName,
                    [&](const std::wstring& previous) { CopyFileList(run, files, previous); });
}

namespace {

// How many entries of the list land on each target name.
std::map<std::wstring, int> TargetNameCounts(const std::vector<std::wstring>& files) {
    std::map<std::wstring, int> counts;
    for (const std::wstring& entry : files) ++counts[TargetKey(EntryFileName(entry))];
    return counts;
}

}  // namespace

void CopyFileList(RunContext& run, const std::vector<std::wstring>& files, const std::wstring& previousCopy) {
    if (run.stopRequested) return;
    // The previous copy is matched by name alone: a name two entries share may stand for either
    // of them there, so only a name that occurs once is linked.
    const std::map<std::wstring, int> nameCounts = previousCopy.empty() ? std::map<std::wstring, int>{}
                                                                         : TargetNameCounts(files);
    CreateFolderPath(run.datedDestination);
    const std::wstring to = LongPath(run.datedDestination) + L"\\";
    const std::wstring previous = previousCopy.empty() ? L"" : LongPath(previousCopy) + L"\\";
    CopyPool pool(run, !previous.empty());
    for (const std::wstring& entry : files) {
        if (!pool.Continue()) break;
        const std::wstring name = EntryFileName(entry);
        FileCopy file{LongPath(entry), to + name};
        if (pool.Linking() && nameCounts.at(TargetKey(name)) == 1) file.previous = previous + name;
        if (!pool.Add(std::move(file), entry)) break;
    }
    pool.Finish();
}

}  // namespace vt
