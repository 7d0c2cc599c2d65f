#pragma once
// The run log "Vaultick.log": one line at a time, the file never held open between lines.
#include <string>

namespace vt {

// folder + "\" (unless it already ends with one) + "Vaultick.log".
std::wstring LogPath(const std::wstring& folder);

// "Crea" creates the file named by text; "Add" appends text + CR LF to fileName; "Rimuovi"
// deletes fileName; commands compare without regard to case, others do nothing. Raises
// IoFailure at the first file operation that fails.
void TextFileCommand(const std::wstring& command, const std::wstring& text, const std::wstring& fileName);

class LogFile {
public:
    void Configure(bool enabled, std::wstring path);
    bool Enabled() const { return enabled_; }
    const std::wstring& Path() const { return path_; }

    // Appends the line when logging is on, creating the file with its header when it is
    // missing. Raises IoFailure when the file cannot be written.
    void Append(const std::wstring& line) const;

private:
    bool enabled_ = false;
    std::wstring path_;
};

}  // namespace vt
