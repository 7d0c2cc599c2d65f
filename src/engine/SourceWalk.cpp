#include "engine/SourceWalk.h"

#include <algorithm>

#include "engine/CopyNaming.h"
#include "engine/EngineFiles.h"
#include "win/Clock.h"

namespace vt {

namespace {
constexpr wchar_t kUnreadable[] = L"Cartella non copiata (non leggibile) : ";
constexpr wchar_t kHoldsCopies[] = L"Cartella esclusa dalla copia (contiene i backup) : ";
constexpr wchar_t kCircular[] = L"Cartella non copiata (collegamento circolare) : ";
}  // namespace

SubFolderStep DecideSubFolder(bool datedCopy, const std::optional<FileIdentity>& identity,
                              const std::vector<FileIdentity>& onPath) {
    if (datedCopy) return SubFolderStep::ExcludeCopies;
    // A link back to a folder the walk is inside would be walked round and round.
    if (identity && std::find(onPath.begin(), onPath.end(), *identity) != onPath.end()) return SubFolderStep::SkipLoop;
    return SubFolderStep::Enter;
}

bool UnreadableIsFailure(const FolderEntry& entry) {
    constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return !(entry.IsLinkedFolder() && (entry.attributes & kHiddenSystem) == kHiddenSystem);
}

std::wstring ShownFolder(const std::wstring& folder) {
    if (folder.size() > 1 && folder.back() == L'\\' && folder[folder.size() - 2] != L':')
        return folder.substr(0, folder.size() - 1);
    return folder;
}

void SourceWalk::ExcludeCopies(const std::wstring& destination) { destination_ = destination; }

void SourceWalk::Run(const std::wstring& root) {
    onPath_.clear();
    excludedLogged_ = false;
    destinationIdentity_.reset();
    const std::optional<FileIdentity> rootIdentity = FolderIdentity(root);
    if (rootIdentity) onPath_.push_back(*rootIdentity);
    Walk(root, rootIdentity, true);
}

bool SourceWalk::IsDestination(const std::wstring& path, const std::optional<FileIdentity>& identity) {
    if (destination_.empty()) return false;
    // Asked again until the destination exists: the copy itself may create it meanwhile.
    if (!destinationIdentity_) destinationIdentity_ = FolderIdentity(destination_);
    if (identity && destinationIdentity_) return *identity == *destinationIdentity_;
    return SamePath(path, destination_);
}

void SourceWalk::LogExcluded(const std::wstring& folder) {
    if (excludedLogged_) return;
    excludedLogged_ = true;
    Log(kHoldsCopies + ShownFolder(folder));
}

void SourceWalk::Log(const std::wstring& line, bool failure) {
    if (log_) return log_(line, failure);
    failure ? run_.Fail(line) : run_.Log(line);
}

void SourceWalk::Walk(const std::wstring& folder, const std::optional<FileIdentity>& identity,
                      bool unreadableIsFailure) {
    if (run_.stopRequested) return;
    const auto entries = ListFolder(folder);
    if (!entries) return Log(kUnreadable + ShownFolder(folder), unreadableIsFailure);
    if (!copyLevel_(folder, *entries)) return;
    // Asked after this level's files: the first of them may have made the destination. The
    // folder that holds the copies is copied like any other, but for the dated copies in it.
    const bool holdsCopies = IsDestination(folder, identity);
    for (const FolderEntry& entry : *entries) {
        if (!entry.IsFolder() || entry.name[0] == L'.') continue;
        if (run_.stopRequested) return;
        run_.host.SetClockText(ClockText(LocalNow(), L"."));
        run_.host.Repaint();
        const std::wstring path = folder + entry.name + L"\\";
        const std::optional<FileIdentity> leadsTo = FolderIdentity(path);
        switch (DecideSubFolder(holdsCopies && IsDatedCopyName(entry.name), leadsTo, onPath_)) {
            case SubFolderStep::ExcludeCopies: LogExcluded(folder); break;
            // Nothing is lost, and nothing failed: what the link leads to is copied where the walk
            // already is.
            case SubFolderStep::SkipLoop: Log(kCircular + ShownFolder(path)); break;
            case SubFolderStep::Enter:
                if (leadsTo) onPath_.push_back(*leadsTo);
                Walk(path, leadsTo, UnreadableIsFailure(entry));
                if (leadsTo) onPath_.pop_back();
                break;
        }
    }
}

}  // namespace vt
