#include "engine/EngineFiles.h"

namespace vt {

namespace {
std::function<void(const std::wstring&)> g_listingSeam;
}  // namespace

void SetListingSeam(std::function<void(const std::wstring& folder)> seam) { g_listingSeam = std::move(seam); }

bool DriveReady(wchar_t letter) {
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    ULARGE_INTEGER total{};
    const bool ready = GetDiskFreeSpaceExW(root, nullptr, &total, nullptr) != FALSE;
    SetErrorMode(previous);
    return ready;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::wstring& folder) {
    if (g_listingSeam) g_listingSeam(folder);
    std::wstring pattern = LongPath(folder);
    if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
    return ListMatching(pattern + L'*');
}

bool CreateFolderPath(const std::wstring& folder) {
    std::wstring path = LongPath(folder);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const size_t cut = path.rfind(L'\\');
    // Stop above the root of the drive or share, which cannot be created.
    if (cut != std::wstring::npos && cut > 7) CreateFolderPath(path.substr(0, cut));
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool CopyFileOverwrite(const std::wstring& from, const std::wstring& to) {
    if (from.empty() || to.empty()) return false;
    return CopyFileW(LongPath(from).c_str(), LongPath(to).c_str(), FALSE) != FALSE;
}

bool RemoveEmptyFolder(const std::wstring& folder) {
    std::wstring path = LongPath(folder);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return RemoveDirectoryW(path.c_str()) != FALSE;
}

}  // namespace vt
