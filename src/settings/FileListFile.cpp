#include "settings/FileListFile.h"

#include <windows.h>
#include <shlobj.h>

#include "win/FileHelpers.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::wstring DataFolder() { return ShellFolder(CSIDL_APPDATA) + L"\\Dorvi\\Vaultick"; }

std::wstring FileListPath(const std::wstring& dataFolder, int slot) {
    return dataFolder + L"\\BkpFile" + std::to_wstring(slot) + L".Dat";
}

std::vector<std::wstring> ParseFileList(std::string_view bytes) {
    const bool utf8 = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    if (utf8) bytes.remove_prefix(kUtf8Mark.size());
    bytes = bytes.substr(0, bytes.find('\0'));
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", start);
        const std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
        lines.push_back(utf8 ? FromUtf8(line) : FromAnsi(line));
        if (end == std::string_view::npos) break;
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

std::string FormatFileList(const std::vector<std::wstring>& files) {
    bool ansi = true;
    for (const auto& file : files) ansi = ansi && FitsAnsi(file);
    std::string text = ansi ? std::string() : std::string(kUtf8Mark);
    for (const auto& file : files) {
        text += ansi ? ToAnsi(file) : ToUtf8(file);
        text += "\r\n";
    }
    return text;
}

std::optional<std::vector<std::wstring>> ReadFileList(const std::wstring& path) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return ParseFileList(*bytes);
}

bool WriteFileList(const std::wstring& path, const std::vector<std::wstring>& files) {
    if (files.empty()) {
        DeleteFileW(path.c_str());
        return true;
    }
    return WriteWholeFile(path, FormatFileList(files));
}

void SaveFileLists(const JobSet& set, const std::wstring& dataFolder) {
    for (int slot = 1; slot <= kJobCount; ++slot) {
        if (!WriteFileList(FileListPath(dataFolder, slot), set.Job(slot).files))
            ShowMessage(L"Problemi nel salvataggio dei file per il backup N°" + std::to_wstring(slot), kNotifyError);
    }
}

}  // namespace vt
