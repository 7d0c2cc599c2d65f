#pragma once
// The walk of a source tree that the local copy and the FTP upload share: each folder's files
// are handed over level by level, then its sub-folders are walked one by one. What the walk
// leaves out is logged: a folder it cannot list, the dated copies in the folder that holds
// them, a link that leads back to a folder on the way down.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/RunContext.h"
#include "win/FileHelpers.h"

namespace vt {

// What the walk does with a sub-folder whose name does not begin with ".".
enum class SubFolderStep { Enter, ExcludeCopies, SkipLoop };

// datedCopy: the sub-folder is a dated copy in the folder that holds the copies. identity: the
// folder the sub-folder leads to, when known; onPath: the folders from the source root down to
// its parent.
SubFolderStep DecideSubFolder(bool datedCopy, const std::optional<FileIdentity>& identity,
                              const std::vector<FileIdentity>& onPath);

// Whether a sub-folder the walk cannot list makes the run a failed one. Not for the hidden system
// links Windows keeps for old programs ("My Music" in Documents, "Application Data" in the
// profile): they deny listing to everyone, so every run of such a source would count as failed.
bool UnreadableIsFailure(const FolderEntry& entry);

// "C:\Dati\Sotto\" as a log line shows it: "C:\Dati\Sotto"; a drive root keeps its "\".
std::wstring ShownFolder(const std::wstring& folder);

class SourceWalk {
public:
    // Copies the files of one folder (path ending with "\"); false when the user stopped there,
    // which leaves the folder's sub-folders out.
    using LevelCopy = std::function<bool(const std::wstring& folder, const std::vector<FolderEntry>& entries)>;

    SourceWalk(RunContext& run, LevelCopy copyLevel) : run_(run), copyLevel_(std::move(copyLevel)) {}

    // A local copy: the walk never enters a dated copy (of any name) in the folder that holds
    // the copies, however the source reaches it; the user's own files there are copied.
    void ExcludeCopies(const std::wstring& destination);
    // Where the walk's own lines go (failure: a line telling of something not done); the run's
    // log unless set. A parallel copy keeps them in order behind the lines of the files handed
    // over before.
    using LineSink = std::function<void(const std::wstring& line, bool failure)>;
    void SetLog(LineSink log) { log_ = std::move(log); }
    // Walks from the source root (path ending with "\").
    void Run(const std::wstring& root);

private:
    void Walk(const std::wstring& folder, const std::optional<FileIdentity>& identity, bool unreadableIsFailure);
    void Log(const std::wstring& line, bool failure = false);
    bool IsDestination(const std::wstring& path, const std::optional<FileIdentity>& identity);
    // Logs that the folder holds the copies, once per run.
    void LogExcluded(const std::wstring& folder);

    RunContext& run_;
    LevelCopy copyLevel_;
    LineSink log_;
    std::wstring destination_;
    std::optional<FileIdentity> destinationIdentity_;
    std::vector<FileIdentity> onPath_;
    bool excludedLogged_ = false;
};

}  // namespace vt
