#include "install/RemovalFolder.h"

#include <objbase.h>
#include <sddl.h>

#include "win/Paths.h"

namespace vt {

namespace {

std::wstring UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    std::wstring text;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        wchar_t* sid = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
            text = sid;
            LocalFree(sid);
        }
    }
    CloseHandle(token);
    return text;
}

std::wstring WindowsTempFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return ExcludeTrailingBackslash(windows) + L"\\Temp";
}

std::wstring UniqueName() {
    GUID guid{};
    if (FAILED(CoCreateGuid(&guid))) return {};
    wchar_t text[40] = {};
    if (!StringFromGUID2(guid, text, 40)) return {};
    return std::wstring(L"Vaultick-") + std::wstring(text).substr(1, 36);
}

}  // namespace

RemovalFolderPlan PlanRemovalFolder(bool elevated, const std::wstring& windowsTemp, const std::wstring& userTemp,
                                    const std::wstring& userSid) {
    // Protected: nothing is inherited from a parent that others may write.
    if (elevated) return {ExcludeTrailingBackslash(windowsTemp), L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"};
    return {ExcludeTrailingBackslash(userTemp), L"D:P(A;OICI;FA;;;" + userSid + L")"};
}

bool RunsElevated() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

RemovalFolderPlan SystemRemovalFolderPlan() {
    return PlanRemovalFolder(RunsElevated(), WindowsTempFolder(), TempFolder(), UserSid());
}

std::wstring CreateRemovalFolder(const RemovalFolderPlan& plan) {
    if (plan.parent.empty()) return {};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(plan.accessList.c_str(), SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return {};
    SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
    std::wstring made;
    // A name taken already is never used: somebody may have made it to be found.
    for (int attempt = 0; attempt < 5 && made.empty(); ++attempt) {
        const std::wstring name = UniqueName();
        if (name.empty()) break;
        const std::wstring folder = plan.parent + L"\\" + name;
        if (CreateDirectoryW(folder.c_str(), &security)) made = folder;
        else if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    LocalFree(descriptor);
    return made;
}

HeldUninstaller::~HeldUninstaller() {
    if (process_) {
        TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
    if (thread_) CloseHandle(thread_);
}

bool HeldUninstaller::Prepare(const std::wstring& programFolder, const std::wstring& folder, const std::wstring& arguments) {
    const std::wstring copy = folder + L"\\Sweepex.exe";
    if (!CopyFileW((programFolder + L"\\Sweepex.exe").c_str(), copy.c_str(), TRUE)) return false;
    // By its full path, never a name left to the system's search.
    std::wstring line = L"\"" + copy + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, folder.c_str(),
                        &startup, &process))
        return false;
    process_ = process.hProcess;
    thread_ = process.hThread;
    return true;
}

void HeldUninstaller::Release() {
    if (!thread_) return;
    ResumeThread(thread_);
    CloseHandle(thread_);
    CloseHandle(process_);
    thread_ = process_ = nullptr;
}

}  // namespace vt
