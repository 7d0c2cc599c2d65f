#include "engine/SourceWalk.h"

#include <algorithm>

#include "engine/CopyNaming.h"
#include "engine/EngineFiles.h"
#include "win/Clock.h"

namespace vt {

namespace {
constexpr wchar_t kUnreadable[] = L"Cartella non copiata (non leggibile) : ";
constexpr wchar_t kHoldsCopies[] = L"Cartella esclusa dalla copia (contiene i backup) : ";
}  // namespace

SubFolderStep DecideSubFolder(bool copiesFolder, const std::optional<FileIdentity>& identity,
                              const std::vector<FileIdentity>& onPath) {
    if (copiesFolder) return SubFolderStep::ExcludeCopies;
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

void SourceWalk::ExcludeCopies(const std::wstring& destination, const std::wstring& copyName) {
    destination_ = destination;
    copyName_ = copyName;
}

void SourceWalk::Run(const std::wstring& root) {
    root_ = root;
    onPath_.clear();
    excludedLogged_.clear();
    destinationIdentity_.reset();
    const std::optional<FileIdentity> rootIdentity = FolderIdentity(root);
    if (rootIdentity) onPath_.push_back(*rootIdentity);
    // A source that is itself the destination: its dated copies are left out, not the source.
    rootHoldsCopies_ = IsCopiesFolder(L"", L"", root, rootIdentity);
    Walk(root);
}

bool SourceWalk::IsCopiesFolder(const std::wstring& parent, const std::wstring& name, const std::wstring& path,
                                const std::optional<FileIdentity>& identity) {
    if (destination_.empty()) return false;
    if (IsDatedCopyInRoot(parent, name)) return true;
    // Asked again until the destination exists: the copy itself may create it meanwhile.
    if (!destinationIdentity_) destinationIdentity_ = FolderIdentity(destination_);
    if (identity && destinationIdentity_) return *identity == *destinationIdentity_;
    return SamePath(path, destination_);
}

bool SourceWalk::IsDatedCopyInRoot(const std::wstring& parent, const std::wstring& name) const {
    return rootHoldsCopies_ && parent == root_ && IsDatedCopyOf(name, copyName_);
}

void SourceWalk::LogExcluded(const std::wstring& folder) {
    if (std::find(excludedLogged_.begin(), excludedLogged_.end(), folder) != excludedLogged_.end()) return;
    excludedLogged_.push_back(folder);
    Log(kHoldsCopies + ShownFolder(folder));
}

void SourceWalk::Log(const std::wstring& line, bool failure) {
    if (log_) return log_(line, failure);
    failure ? run_.Fail(line) : run_.Log(line);
}

void SourceWalk::Walk(const std::wstring& folder, bool unreadableIsFailure) {
    if (run_.stopRequested) return;
    const auto entries = ListFolder(folder);
    if (!entries) return Log(kUnreadable + ShownFolder(folder), unreadableIsFailure);
    if (!copyLevel_(folder, *entries)) return;
    for (const FolderEntry& entry : *entries) {
        if (!entry.IsFolder() || entry.name[0] == L'.') continue;
        if (run_.stopRequested) return;
        run_.host.SetClockText(ClockText(LocalNow(), L"."));
        run_.host.Repaint();
        const std::wstring path = folder + entry.name + L"\\";
        const std::optional<FileIdentity> identity = FolderIdentity(path);
        switch (DecideSubFolder(IsCopiesFolder(folder, entry.name, path, identity), identity, onPath_)) {
            // A source that holds its own dated copies is named once, not once per copy.
            case SubFolderStep::ExcludeCopies: LogExcluded(IsDatedCopyInRoot(folder, entry.name) ? root_ : path); break;
            // Nothing is lost: what the link leads to is copied where the walk already is.
            case SubFolderStep::SkipLoop: Log(kUnreadable + ShownFolder(path)); break;
            case SubFolderStep::Enter:
                if (identity) onPath_.push_back(*identity);
                Walk(path, UnreadableIsFailure(entry));
                if (identity) onPath_.pop_back();
                break;
        }
    }
}

}  // namespace vt
