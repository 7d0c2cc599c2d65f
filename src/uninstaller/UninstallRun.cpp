#include "uninstaller/UninstallRun.h"

#include <windows.h>

#include <stdexcept>

#include "win/FileHelpers.h"
#include "win/Paths.h"
#include "win/TreeDeletion.h"
#include "win/WholeDrive.h"

namespace vt::sweepex {

namespace {

// The log as it lies in the uninstaller's own folder, never one a link leads to elsewhere: held
// open, so that nobody changes or replaces it while it is carried out.
class OwnLog {
public:
    explicit OwnLog(const std::wstring& ownFolder)
        : handle_(OpenFileInFolder(ownFolder, kUninstallLogName, GENERIC_READ | DELETE, FILE_SHARE_READ, &notThere_)) {}
    ~OwnLog() {
        if (handle_) CloseHandle(handle_);
    }
    OwnLog(const OwnLog&) = delete;
    OwnLog& operator=(const OwnLog&) = delete;

    // There, even when it cannot be opened now (its reading then fails as a read error).
    bool Found() const { return handle_ != nullptr || !notThere_; }
    std::string Bytes() const {
        std::string bytes;
        char block[4096];
        DWORD read = 0;
        for (;;) {
            if (!handle_ || !ReadFile(handle_, block, sizeof block, &read, nullptr)) throw std::runtime_error("uninstall log cannot be read");
            if (read == 0) return bytes;
            bytes.append(block, read);
        }
    }
    void Delete() const {
        if (handle_) MarkForDeletion(handle_);
    }

private:
    bool notThere_ = true;
    HANDLE handle_;
};

// Every entry a pattern matches; none when nothing can be listed.
std::vector<FolderEntry> ListFolder(const std::wstring& pattern) {
    return ListMatching(pattern).value_or(std::vector<FolderEntry>{});
}

void MakeOwnFolderCurrent(const std::wstring& ownFolder) {
    if (!SetCurrentDirectoryW(ownFolder.c_str()))
        throw std::runtime_error("the uninstaller's folder cannot be made current");
}

}  // namespace

bool DeleteListedFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (DeleteFileForced(path)) return true;
    // A file that stays (in use, a folder) keeps the protection it had.
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes);
    return false;
}

UninstallRun::UninstallRun(std::wstring ownFolder, std::wstring productName, RunScreen& screen)
    : ownFolder_(std::move(ownFolder)), productName_(std::move(productName)), screen_(screen) {}

std::wstring UninstallRun::LogPath() const { return ownFolder_ + L"\\" + kUninstallLogName; }

void UninstallRun::Run(const std::function<void()>& waitForMainProgram) {
    // A log that lies anywhere but in the uninstaller's own folder counts as no log at all.
    OwnLog log(ownFolder_);
    if (!log.Found()) {
        screen_.HideProgress();
        screen_.ShowBox(UninstallerBox(L"Problemi durante la disinstallazione.\rFile non trovato: UnLogF.Dat",
                                       L"Errore", MB_ICONWARNING | MB_OK));
        return;
    }
    if (waitForMainProgram) waitForMainProgram();

    removalIncomplete_ = false;
    bool processed = false;
    try {
        Execute(ReadUninstallLog(SplitLogLines(log.Bytes())));
        processed = true;
    } catch (...) {
        // Stopped half way: the log stays, so the rest can still be found.
        removalIncomplete_ = true;
    }
    if (processed) log.Delete();

    if (removalIncomplete_) {
        screen_.HideProgress();
        screen_.ShowBox(UninstallerBox(
            L"Non tutti i file sono stati rimossi durante la disinstallazione\r"
            L"del programma dal sistema. Procedere manualmente\r"
            L"per gli altri contenuti nella cartella:\r" + baseFolder_,
            productName_ + L" - Disinstalla", MB_ICONINFORMATION | MB_OK));
    }
}

void UninstallRun::Execute(const std::vector<Step>& steps) {
    for (const Step& step : steps) ExecuteStep(step);
}

void UninstallRun::ExecuteStep(const Step& step) {
    switch (step.kind) {
        case StepKind::DeleteTree:
            DeleteTreeStep(step.path);
            break;
        case StepKind::SetBaseFolder:
            baseFolder_ = step.path;
            break;
        case StepKind::DeleteOneFile:
            if (!DeleteListedFile(step.path) && step.failureCounts) removalIncomplete_ = true;
            break;
        case StepKind::DeleteMatching:
            DeleteMatching(step.path, step.extension);
            break;
        case StepKind::RemoveEmptyFolder:
            MakeOwnFolderCurrent(ownFolder_);
            RemoveDirectoryW(step.path.c_str());
            break;
        case StepKind::AskRemoveEmptyFolder:
            MakeOwnFolderCurrent(ownFolder_);
            EmptyFolderPrompt(step.path);
            break;
        case StepKind::SkipName:
            removalIncomplete_ = true;
            break;
        case StepKind::Refuse:
            throw std::runtime_error("the uninstall log names no usable base folder");
    }
}

// An empty line, "\" or a bare drive would otherwise empty a whole drive; a relative folder
// is taken from the current one, as the system would.
void UninstallRun::DeleteTreeStep(const std::wstring& folder) {
    // The folder is the line plus "\": a bare "C:" is the drive's root, not the current folder.
    const std::wstring full = ExcludeTrailingBackslash(AbsolutePathOf(IncludeTrailingBackslash(folder)));
    if (full.empty() || !IsAbsoluteBelowRoot(full)) {
        removalIncomplete_ = true;
        return;
    }
    DeleteTreeFlagged(full + L"\\");
}

void UninstallRun::DeleteMatching(const std::wstring& folder, const std::wstring& extension) {
    // Without a folder the pattern would search the root of the current drive.
    if (folder.empty()) return;
    for (const FolderEntry& entry : ListFolder(folder + L"\\*." + extension))
        if (MatchesExtension(entry.name, extension)) DeleteListedFile(folder + L"\\" + entry.name);
}

void UninstallRun::DeleteTreeFlagged(const std::wstring& folderWithBackslash) {
    const std::wstring folder = ExcludeTrailingBackslash(folderWithBackslash);
    // A folder that is not there cannot be removed: that counts as well.
    if (!FolderExists(folder)) {
        removalIncomplete_ = true;
        return;
    }
    TreeDeletion how;
    how.clearReadOnly = false;  // a read-only file stays and counts
    if (!DeleteTreeBelow(FolderOf(folder), FileNameOf(folder), how)) removalIncomplete_ = true;
}

void UninstallRun::EmptyFolderPrompt(const std::wstring& folder) {
    if (!FolderExists(folder)) return;
    for (const FolderEntry& entry : ListFolder(IncludeTrailingBackslash(folder) + L"*")) {
        if (entry.name.front() != L'.') {
            removalIncomplete_ = true;
            return;
        }
    }
    screen_.HideProgress();
    const int answer = screen_.ShowBox(UninstallerBox(
        L"Questa cartella risulta vuota:\r" + folder + L"\r" + L"Rimuoverla?", L"Informazione",
        MB_ICONQUESTION | MB_YESNO));
    if (answer == IDYES && !RemoveDirectoryW(folder.c_str())) removalIncomplete_ = true;
}

}  // namespace vt::sweepex
