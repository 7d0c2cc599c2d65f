#include "app/LogFile.h"

#include <windows.h>

#include "win/Failure.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

namespace {

[[noreturn]] void Raise(const wchar_t* what, const std::wstring& path) {
    throw IoFailure(ToUtf8(std::wstring(what) + L" " + path));
}

void CreateEmpty(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Raise(L"cannot create", path);
    if (!CloseHandle(file)) Raise(L"cannot close", path);
}

// Virus scanners, indexers and viewers open a file for a moment without letting others write.
// A run must not end for that: the line waits for them, for a while.
constexpr ULONGLONG kBusyForMs = 3000;
constexpr DWORD kBusyRetryMs = 10;

HANDLE OpenForAppend(const std::wstring& path) {
    const ULONGLONG giveUpAt = GetTickCount64() + kBusyForMs;
    for (;;) {
        // OPEN_EXISTING: appending needs a file that is there already.
        HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || GetTickCount64() >= giveUpAt)
            return INVALID_HANDLE_VALUE;
        Sleep(kBusyRetryMs);
    }
}

void AppendLine(const std::wstring& path, const std::wstring& text) {
    HANDLE file = OpenForAppend(path);
    if (file == INVALID_HANDLE_VALUE) Raise(L"cannot open", path);
    const std::string bytes = ToAnsi(text) + "\r\n";
    DWORD written = 0;
    const bool wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    const bool flushed = wrote && FlushFileBuffers(file);
    const bool closed = CloseHandle(file);
    if (!wrote) Raise(L"cannot write", path);
    if (!flushed) Raise(L"cannot flush", path);
    if (!closed) Raise(L"cannot close", path);
}

}  // namespace

std::wstring LogPath(const std::wstring& folder) { return IncludeTrailingBackslash(folder) + L"Vaultick.log"; }

std::optional<TextFileVerb> ParseTextFileVerb(const std::wstring& command) {
    const std::wstring verb = ToLower(command);
    if (verb == L"crea") return TextFileVerb::Create;
    if (verb == L"add") return TextFileVerb::Append;
    if (verb == L"rimuovi") return TextFileVerb::Remove;
    return std::nullopt;
}

void TextFileCommand(TextFileVerb verb, const std::wstring& text, const std::wstring& fileName) {
    switch (verb) {
        case TextFileVerb::Create: CreateEmpty(text); return;
        case TextFileVerb::Append: AppendLine(fileName, text); return;
        case TextFileVerb::Remove:
            if (!DeleteFileW(fileName.c_str())) Raise(L"cannot delete", fileName);
            return;
    }
}

void TextFileCommand(const std::wstring& command, const std::wstring& text, const std::wstring& fileName) {
    if (const auto verb = ParseTextFileVerb(command)) TextFileCommand(*verb, text, fileName);
}

void LogFile::Configure(bool enabled, std::wstring path) {
    enabled_ = enabled;
    path_ = std::move(path);
}

void LogFile::Append(const std::wstring& line) const {
    if (!enabled_) return;
    if (!FileExists(path_)) {
        TextFileCommand(TextFileVerb::Create, path_, L"");
        TextFileCommand(TextFileVerb::Append, L"FileLog creato da DorviVaultick.exe", path_);
    }
    TextFileCommand(TextFileVerb::Append, line, path_);
}

}  // namespace vt
