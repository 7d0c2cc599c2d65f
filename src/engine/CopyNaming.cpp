#include "engine/CopyNaming.h"

#include <algorithm>
#include <cwchar>

namespace vt {

namespace {

constexpr size_t kStampLength = 13;  // ddmmyy-hhnnss

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

}  // namespace

std::wstring SourceFolderName(const std::wstring& path) {
    if (path.size() == 3) return path.substr(0, 1);
    std::wstring trimmed = path;
    if (!trimmed.empty() && trimmed.back() == L'\\') trimmed.pop_back();
    const size_t cut = trimmed.rfind(L'\\');
    return cut == std::wstring::npos ? trimmed : trimmed.substr(cut + 1);
}

std::wstring LocalDatedDestination(const std::wstring& destination, const std::wstring& datedFolderName) {
    return destination.size() == 3 ? destination + datedFolderName : destination + L"\\" + datedFolderName;
}

bool IsDatedCopyOf(const std::wstring& folderName, const std::wstring& copyName) {
    const size_t n = copyName.size();
    if (folderName.size() != n + 1 + kStampLength) return false;
    for (size_t i = 0; i < n; ++i)
        if (AsciiUpper(folderName[i]) != AsciiUpper(copyName[i])) return false;
    return IsDatedCopyName(folderName);
}

bool IsDatedCopyName(const std::wstring& folderName) {
    if (folderName.size() < 2 + kStampLength) return false;
    const size_t n = folderName.size() - 1 - kStampLength;
    if (folderName[n] != L'_' || folderName[n + 7] != L'-') return false;
    // Only digits around the hyphen: "Documenti_backup-vecchi" is a user's folder, not a copy.
    for (size_t i = n + 1; i < folderName.size(); ++i)
        if (i != n + 7 && (folderName[i] < L'0' || folderName[i] > L'9')) return false;
    return true;
}

std::wstring SortKey(const std::wstring& folderName, const std::wstring& copyName) {
    const std::wstring stamp = folderName.substr(copyName.size() + 1);
    return stamp.substr(4, 2) + stamp.substr(2, 2) + stamp.substr(0, 2) + stamp.substr(7, 6);
}

std::vector<std::wstring> CopiesToRemove(const std::vector<std::wstring>& folderNames, const std::wstring& copyName,
                                         unsigned keep, const std::vector<std::wstring>& protectedNames) {
    auto isProtected = [&](const std::wstring& name) {
        return std::any_of(protectedNames.begin(), protectedNames.end(),
                           [&](const std::wstring& p) { return _wcsicmp(p.c_str(), name.c_str()) == 0; });
    };
    std::vector<std::wstring> candidates;
    for (const auto& name : folderNames)
        if (IsDatedCopyOf(name, copyName)) candidates.push_back(name);
    if (keep == 0) {
        std::erase_if(candidates, isProtected);
        return candidates;
    }
    if (candidates.size() <= keep) return {};
    std::stable_sort(candidates.begin(), candidates.end(), [&](const std::wstring& a, const std::wstring& b) {
        return SortKey(a, copyName) < SortKey(b, copyName);
    });
    const size_t firstKept = candidates.size() - keep;
    std::vector<bool> stays(candidates.size());
    for (size_t i = firstKept; i < candidates.size(); ++i) stays[i] = true;
    for (size_t i = 0; i < firstKept; ++i) {
        if (!isProtected(candidates[i])) continue;
        stays[i] = true;
        for (size_t j = firstKept; j < candidates.size(); ++j)
            if (stays[j] && !isProtected(candidates[j])) {
                stays[j] = false;
                break;
            }
    }
    std::vector<std::wstring> removed;
    for (size_t i = 0; i < candidates.size(); ++i)
        if (!stays[i]) removed.push_back(candidates[i]);
    return removed;
}

}  // namespace vt
