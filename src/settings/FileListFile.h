#pragma once
// The list of files of a FileList job: one text file per slot in the data folder, one full
// path per line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/BackupJob.h"

namespace vt {

// The user's application-data folder + "\Dorvi\Vaultick".
std::wstring DataFolder();
// dataFolder + "\BkpFile<slot>.Dat".
std::wstring FileListPath(const std::wstring& dataFolder, int slot);

// Lines split at CR LF, lone CR or lone LF; the text ends at a NUL. A UTF-8 byte-order mark
// marks a UTF-8 file, anything else is the ANSI code page.
std::vector<std::wstring> ParseFileList(std::string_view bytes);
// Every entry followed by CR LF, in the ANSI code page when every entry fits it, otherwise
// in UTF-8 with a byte-order mark so that no path comes back changed.
std::string FormatFileList(const std::vector<std::wstring>& files);

// nullopt when the file does not exist or cannot be opened.
std::optional<std::vector<std::wstring>> ReadFileList(const std::wstring& path);
// An empty list deletes the file (a missing file is fine); false when writing failed.
bool WriteFileList(const std::wstring& path, const std::vector<std::wstring>& files);

// Writes the five lists; each failing slot is reported to the user and the next one goes on.
void SaveFileLists(const JobSet& set, const std::wstring& dataFolder);

}  // namespace vt
