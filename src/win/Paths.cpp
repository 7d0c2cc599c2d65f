#include "win/Paths.h"

#include <windows.h>
#include <shlobj.h>

namespace vt {

std::wstring ExcludeTrailingBackslash(std::wstring_view path) {
    if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
    return std::wstring(path);
}

std::wstring IncludeTrailingBackslash(std::wstring_view path) {
    std::wstring out(path);
    if (out.empty() || out.back() != L'\\') out += L'\\';
    return out;
}

std::wstring FileNameOf(std::wstring_view path) {
    const size_t cut = path.find_last_of(L"\\/:");
    return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

std::wstring FolderOf(std::wstring_view path) {
    const size_t cut = path.find_last_of(L"\\/:");
    if (cut == std::wstring_view::npos) return {};
    if (path[cut] == L':') return std::wstring(path.substr(0, cut + 1));
    return std::wstring(path.substr(0, cut));
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// Length of the part that cannot be created: "C:\" or "\\server\share\".
size_t RootLength(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') return path.size() > 2 ? 3 : 2;
    if (path.rfind(L"\\\\", 0) == 0) {
        const size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos) return path.size();
        const size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    return 0;
}

}  // namespace

bool ForceFolders(const std::wstring& path) {
    const std::wstring folder = ExcludeTrailingBackslash(path);
    if (folder.empty()) return false;
    size_t pos = RootLength(folder);
    while (pos < folder.size()) {
        pos = folder.find(L'\\', pos + 1);
        const std::wstring prefix = folder.substr(0, pos);
        if (!FolderExists(prefix)) CreateDirectoryW(prefix.c_str(), nullptr);
        if (pos == std::wstring::npos) break;
    }
    return FolderExists(folder);
}

std::wstring ModuleFileName() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

std::wstring TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, path);
    return n ? std::wstring(path, n) : std::wstring();
}

}  // namespace vt
