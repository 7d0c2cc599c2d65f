#pragma once
// The uninstall log "UnLogF.Dat": a small line script of sections that the main program hands
// over. Reading it is pure: lines in, the ordered steps of the removal out.
#include <string>
#include <string_view>
#include <vector>

namespace vt::sweepex {

inline constexpr wchar_t kUninstallLogName[] = L"UnLogF.Dat";

enum class StepKind {
    DeleteTree,            // "[directory]": the folder with everything in it; failures count
    SetBaseFolder,         // "[dircorrente]": path already ends with "\"
    DeleteOneFile,         // "[file1]", "[file2]", "[file3]": one file, read-only or not
    DeleteMatching,        // "[file4]": files of one extension in one folder
    RemoveEmptyFolder,     // "[rimuovidir]": failure ignored
    AskRemoveEmptyFolder,  // "[rimuovidirmsg]": the empty-folder question
    SkipName,              // a "[file1]"/"[file2]" name that is not a plain file name: kept, removal incomplete
    Refuse,                // a base folder that is not an absolute folder below a root: nothing is done
};

struct Step {
    StepKind kind;
    std::wstring path;               // file or folder; for DeleteMatching, the folder
    std::wstring extension;          // DeleteMatching only, as written, without its dot
    bool failureCounts = false;      // a failure makes the removal incomplete
    bool operator==(const Step&) const = default;
};

// Lines of the file's text (system ANSI code page); CR LF or LF ends a line, and a last line
// without one still counts. A NUL byte ends the line's text, as it ends the path the system
// is given; the rest up to the line end is dropped.
std::vector<std::wstring> SplitLogLines(std::string_view bytes);

// Tags match in any letter case. A line that one section takes as its argument is still
// tested against the tags after it, as the log has always been read. A section whose
// argument is missing at the end of the log does nothing.
// The names of "[file1]" and "[file2]" stay inside the base folder: a name with a separator,
// a drive, ".." and the like becomes a SkipName step. A base folder that is not an absolute
// folder below a drive or share root makes the whole log a single Refuse step, so that
// nothing at all is deleted.
std::vector<Step> ReadUninstallLog(const std::vector<std::wstring>& lines);

// "[file4]": the name's extension, in lower case, equals "." and the first three characters
// of the given extension in lower case; names beginning with "." never match.
bool MatchesExtension(std::wstring_view name, std::wstring_view extension);

}  // namespace vt::sweepex
