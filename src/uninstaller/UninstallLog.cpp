#include "uninstaller/UninstallLog.h"

#include "win/Text.h"
#include "win/WholeDrive.h"

namespace vt::sweepex {

std::vector<std::wstring> SplitLogLines(std::string_view bytes) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = line.substr(0, line.find('\0'));
        lines.push_back(FromAnsi(line));
        start = next;
    }
    return lines;
}

namespace {

class LogReader {
public:
    explicit LogReader(const std::vector<std::wstring>& lines) : lines_(lines) {}

    std::vector<Step> Read() {
        while (next_ < lines_.size()) {
            line_ = lines_[next_++];
            // Every test sees the line the tests before it may have replaced.
            if (Is(L"[directory]") && Advance()) Add(StepKind::DeleteTree, line_, true);
            if (Is(L"[dircorrente]") && Advance()) {
                if (!IsAbsoluteBelowRoot(line_)) return {Step{StepKind::Refuse, line_, L"", true}};
                base_ = line_ + L"\\";
                Add(StepKind::SetBaseFolder, base_, false);
            }
            if (Is(L"[file1]")) ReadList(base_, true, true);
            if (Is(L"[file2]")) ReadList(base_, false, true);
            if (Is(L"[file3]")) ReadList(L"", false, false);
            if (Is(L"[file4]") && Advance()) {
                const std::wstring extension = line_;
                if (Advance()) {
                    Step step{StepKind::DeleteMatching, line_, extension, false};
                    steps_.push_back(std::move(step));
                }
            }
            if (Is(L"[rimuovidir]") && Advance()) Add(StepKind::RemoveEmptyFolder, line_, false);
            if (Is(L"[rimuovidirmsg]") && Advance()) Add(StepKind::AskRemoveEmptyFolder, line_, true);
        }
        return std::move(steps_);
    }

private:
    bool Is(const wchar_t* tag) const { return ToLower(line_) == tag; }

    bool Advance() {
        if (next_ >= lines_.size()) return false;
        line_ = lines_[next_++];
        return true;
    }

    // Names up to the line "-" exactly, or to the end of the log.
    void ReadList(const std::wstring& prefix, bool failureCounts, bool plainNames) {
        while (Advance() && line_ != L"-") {
            if (plainNames && !IsPlainName(line_)) Add(StepKind::SkipName, line_, true);
            else Add(StepKind::DeleteOneFile, prefix + line_, failureCounts);
        }
    }

    void Add(StepKind kind, const std::wstring& path, bool failureCounts) {
        steps_.push_back(Step{kind, path, L"", failureCounts});
    }

    const std::vector<std::wstring>& lines_;
    size_t next_ = 0;
    std::wstring line_;
    std::wstring base_;
    std::vector<Step> steps_;
};

}  // namespace

std::vector<Step> ReadUninstallLog(const std::vector<std::wstring>& lines) {
    return LogReader(lines).Read();
}

bool MatchesExtension(std::wstring_view name, std::wstring_view extension) {
    if (name.empty() || name.front() == L'.') return false;
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos) return false;
    return ToLower(name.substr(dot)) == L"." + ToLower(extension.substr(0, 3));
}

}  // namespace vt::sweepex
