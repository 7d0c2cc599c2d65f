#include "uninstaller/UninstallRun.h"

#include <windows.h>

#include <stdexcept>

#include "win/FileHelpers.h"
#include "win/Paths.h"
#include "win/WholeDrive.h"

namespace vt::sweepex {

namespace {

std::string ReadLogBytes(const std::wstring& path) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) throw std::runtime_error("uninstall log cannot be read");
    return std::move(*bytes);
}

// Every entry a pattern matches; none when nothing can be listed.
std::vector<FolderEntry> ListFolder(const std::wstring& pattern) {
    return ListMatching(pattern).value_or(std::vector<FolderEntry>{});
}

void MakeOwnFolderCurrent(const std::wstring& ownFolder) {
    if (!SetCurrentDirectoryW(ownFolder.c_str()))
        throw std::runtime_error("the uninstaller's folder cannot be made current");
}

}  // namespace

TreeStart DecideTreeStart(const std::wstring& absolutePath, DWORD attributes, DWORD reparseTag) {
    if (!IsAbsoluteBelowRoot(absolutePath)) return TreeStart::Refuse;
    return IsLinkReparse(attributes, reparseTag) ? TreeStart::RemoveLink : TreeStart::DeleteTree;
}

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
    const std::wstring log = LogPath();
    if (!FileExists(log)) {
        screen_.HideProgress();
        screen_.ShowBox(UninstallerBox(L"Problemi durante la disinstallazione.\rFile non trovato: UnLogF.Dat",
                                       L"Errore", MB_ICONWARNING | MB_OK));
        return;
    }
    if (waitForMainProgram) waitForMainProgram();

    removalIncomplete_ = false;
    bool processed = false;
    try {
        Execute(ReadUninstallLog(SplitLogLines(ReadLogBytes(log))));
        processed = true;
    } catch (...) {
        // Stopped half way: the log stays, so the rest can still be found.
        removalIncomplete_ = true;
    }
    if (processed) DeleteFileW(log.c_str());

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
    const std::optional<std::vector<FolderEntry>> self = full.empty() ? std::nullopt : ListMatching(full);
    FolderEntry top = self && self->size() == 1 ? self->front() : FolderEntry{};
    if (!self && !full.empty()) {
        // Without the entry's tag a reparse point counts as a link: never listed through.
        top.attributes = GetFileAttributesW(full.c_str());
        if (top.attributes == INVALID_FILE_ATTRIBUTES) top.attributes = 0;
        if (top.attributes & FILE_ATTRIBUTE_REPARSE_POINT) top.reparseTag = IO_REPARSE_TAG_SYMLINK;
    }
    switch (DecideTreeStart(full, top.attributes, top.reparseTag)) {
        case TreeStart::Refuse:
            removalIncomplete_ = true;
            break;
        case TreeStart::RemoveLink:
            if (!RemoveDirectoryW(full.c_str())) removalIncomplete_ = true;
            break;
        case TreeStart::DeleteTree:
            DeleteTreeFlagged(full + L"\\");
            break;
    }
}

void UninstallRun::DeleteMatching(const std::wstring& folder, const std::wstring& extension) {
    // Without a folder the pattern would search the root of the current drive.
    if (folder.empty()) return;
    for (const FolderEntry& entry : ListFolder(folder + L"\\*." + extension))
        if (MatchesExtension(entry.name, extension)) DeleteListedFile(folder + L"\\" + entry.name);
}

void UninstallRun::DeleteTreeFlagged(const std::wstring& folderWithBackslash) {
    const std::vector<FolderEntry> entries = ListFolder(folderWithBackslash + L"*");
    for (const FolderEntry& entry : entries) {
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!DeleteFileW((folderWithBackslash + entry.name).c_str())) removalIncomplete_ = true;
    }
    for (const FolderEntry& entry : entries) {
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY) || entry.name.front() == L'.') continue;
        const std::wstring child = folderWithBackslash + entry.name;
        if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A junction or link: remove the link only, never what it points to.
            if (!RemoveDirectoryW(child.c_str())) removalIncomplete_ = true;
        } else {
            DeleteTreeFlagged(child + L"\\");
        }
    }
    if (!RemoveDirectoryW(ExcludeTrailingBackslash(folderWithBackslash).c_str())) removalIncomplete_ = true;
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
