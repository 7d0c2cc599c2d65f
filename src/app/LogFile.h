#pragma once
// The run log "Vaultick.log": one line at a time, the file never held open between lines.
#include <optional>
#include <string>

namespace vt {

// folder + "\" (unless it already ends with one) + "Vaultick.log".
std::wstring LogPath(const std::wstring& folder);

enum class TextFileVerb {
    Create,  // "Crea": the file named by text, created empty
    Append,  // "Add": text + CR LF appended to fileName, which must exist
    Remove,  // "Rimuovi": fileName deleted
};

// The verb of a command word, without regard to case; nothing for any other word.
std::optional<TextFileVerb> ParseTextFileVerb(const std::wstring& command);

// Raises IoFailure at the first file operation that fails.
void TextFileCommand(TextFileVerb verb, const std::wstring& text, const std::wstring& fileName);
// The same by command word; an unknown word does nothing.
void TextFileCommand(const std::wstring& command, const std::wstring& text, const std::wstring& fileName);

class LogFile {
public:
    void Configure(bool enabled, std::wstring path);
    bool Enabled() const { return enabled_; }
    const std::wstring& Path() const { return path_; }

    // Appends the line when logging is on, creating the file with its header when it is
    // missing. A file another program holds open for a moment is waited for, a few seconds at
    // most. Raises IoFailure when the file cannot be written.
    void Append(const std::wstring& line) const;

private:
    bool enabled_ = false;
    std::wstring path_;
};

}  // namespace vt
