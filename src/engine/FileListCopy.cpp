#include "engine/FileListCopy.h"

#include "engine/CopyNaming.h"
#include "engine/EngineFiles.h"
#include "engine/FtpUpload.h"
#include "engine/Retention.h"
#include "engine/TimeStamps.h"
#include "settings/FileListFile.h"
#include "settings/SettingsStore.h"
#include "win/Clock.h"

namespace vt {

std::wstring EntryFileName(const std::wstring& entry) {
    const size_t cut = entry.find_last_of(L"\\:");
    return cut == std::wstring::npos ? entry : entry.substr(cut + 1);
}

void RunFileListJob(RunContext& run, const std::wstring& dataFolder) {
    if (run.destIsFtp && !ConnectFtp(run)) return;
    const std::vector<std::wstring> files =
        ReadFileList(FileListPath(dataFolder, run.slot)).value_or(std::vector<std::wstring>{});
    const std::wstring destination =
        TypedPath(SettingsStore().ReadString(kMainSection, SlotValueName(L"DestinazioneFile", run.slot), L""));
    if (files.empty()) return;
    if (run.destIsFtp) return RunFtpFileListJob(run, files);

    const std::wstring copyName = L"File" + std::to_wstring(run.slot);
    run.datedDestination = LocalDatedDestination(destination, copyName + L"_" + FolderStamp(LocalNow()));
    // An empty destination would write into the root of the current drive.
    if (destination.empty() || (run.datedDestination[0] != L'\\' && run.datedDestination[0] != L'/' &&
                                !DriveReady(run.datedDestination[0])))
        return run.Refuse(L"Percorso destinazione non pronto : " + run.datedDestination);
    run.stopRequested = false;
    run.Status(L"ATTENDERE! Copia backup in corso... Premere <Esc> per fermare");
    CopyUnderPolicy(run, destination, copyName, [&] { CopyFileList(run, files); });
}

void CopyFileList(RunContext& run, const std::vector<std::wstring>& files) {
    if (run.stopRequested) return;
    CreateFolderPath(run.datedDestination);
    for (const std::wstring& entry : files) {
        run.host.Repaint();
        if (run.AskStop(L"ATTENDERE! Chiusura in corso...")) break;
        if (!CopyFileOverwrite(entry, run.datedDestination + L"\\" + EntryFileName(entry)))
            run.Fail(L"File non copiato (corrotto o in uso) : " + entry);
    }
}

}  // namespace vt
