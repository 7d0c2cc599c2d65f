#pragma once
// The Linux side of the machine Wine runs on: what a test needs of it to make what Windows code
// cannot make under Wine, such as symbolic links (Wine shows one to a folder as a reparse point
// without a tag, and opens what it leads to).
#include <string>
#include <vector>

namespace vt::test {

// The Linux path of a Windows path; empty when it has none.
std::string UnixPathOf(const std::wstring& path);
// Single-quoted for the shell.
std::string ShellQuoted(const std::string& text);
// Runs a shell script on the Linux side and waits, up to a minute, for it to end; true when it
// ended with success. The script must not hold a double quote or a backslash.
bool RunUnixShell(const std::string& script);

// Symbolic links made for a test; the links alone are removed when it ends, before the test's
// folders (whose clean-up would follow them).
class UnixLinks {
public:
    UnixLinks() = default;
    ~UnixLinks();
    UnixLinks(const UnixLinks&) = delete;
    UnixLinks& operator=(const UnixLinks&) = delete;

    // link -> target, made from the Linux side.
    bool Make(const std::wstring& target, const std::wstring& link);
    // A link that a script of the test makes: removed at the end too.
    void Remember(const std::wstring& link);

private:
    std::vector<std::string> links_;
};

}  // namespace vt::test
