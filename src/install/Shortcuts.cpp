#include "install/Shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "win/FileHelpers.h"
#include "win/Paths.h"
#include "win/Product.h"
#include "win/RegKey.h"
#include "win/TreeDeletion.h"

namespace vt {

namespace {

// COM for the duration of one call; the program keeps no apartment of its own.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

bool SaveLink(const std::wstring& file, const std::wstring& target, const std::wstring& arguments,
              const std::wstring& workingFolder, int iconIndex, const std::wstring& iconFile) {
    ComScope com;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool ok = SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link->SetWorkingDirectory(workingFolder.c_str())) &&
              SUCCEEDED(link->SetArguments(arguments.c_str())) &&
              SUCCEEDED(link->SetIconLocation(iconFile.c_str(), iconIndex));
    if (ok) {
        IPersistFile* persist = nullptr;
        ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)));
        if (ok) {
            ok = SUCCEEDED(persist->Save(file.c_str(), TRUE));
            persist->Release();
        }
    }
    link->Release();
    return ok && FileExists(file);
}

}  // namespace

std::wstring CreateShortcut(const ShellPlaces& places, const std::wstring& target, const std::wstring& arguments,
                            const std::wstring& workingFolder, bool probeOnly, int iconIndex,
                            const std::wstring& iconFile, const std::wstring& kind, const std::wstring& name) {
    try {
        std::wstring file;
        bool makeFolders = true;
        if (kind == L"Start") file = places.userPrograms + L"\\" + name + L".Lnk";
        else if (kind == L"StartAll") file = places.allUsersPrograms + L"\\" + name + L".Lnk";
        else if (kind == L"Desktop") file = places.userDesktop + L"\\" + name + L".Lnk", makeFolders = false;
        else if (kind == L"QuickLaunch") file = places.quickLaunch + L"\\" + name + L".Lnk", makeFolders = false;
        else if (kind == L"File") file = name + L".Lnk";
        else return {};
        if (probeOnly) return FileExists(file) ? file : std::wstring();
        if (makeFolders) ForceFolders(FolderOf(file));
        return SaveLink(file, target, arguments, workingFolder, iconIndex, iconFile) ? file : std::wstring();
    } catch (...) {
        return {};
    }
}

bool DeleteShortcutItem(const ShellPlaces& places, const std::wstring& name, const std::wstring& kind) {
    try {
        // The Programs folders are the system's; what lies below them ("Dorvi\Vaultick") may be
        // anybody's, and is walked by handles.
        if (kind == L"Start_Folder") return DeleteTreeBelow(places.userPrograms, name);
        if (kind == L"Start_FolderAll") return DeleteTreeBelow(places.allUsersPrograms, name);
        if (kind == L"Start_Folder_Vuoto") return RemoveEmptyFolderBelow(places.userPrograms, name);
        if (kind == L"Start_Folder_VuotoAll") return RemoveEmptyFolderBelow(places.allUsersPrograms, name);
        if (kind == L"Desktop") return DeleteFileForced(places.userDesktop + L"\\" + name + L".Lnk");
        if (kind == L"QuickLaunch") return DeleteFileForced(places.quickLaunch + L"\\" + name + L".Lnk");
        return false;
    } catch (...) {
        return false;
    }
}

std::wstring UninstallCommand(const std::wstring& exePath) {
    // Unquoted, a path with a blank would be cut at the blank by the system.
    const bool quote = exePath.find(L' ') != std::wstring::npos;
    return (quote ? L"\"" + exePath + L"\"" : exePath) + L" Rimuovi";
}

bool WriteInstalledProgramsEntry(const std::wstring& exePath) {
    try {
        RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, kInstalledProgramsKey);
        if (!key.IsOpen()) return false;
        const std::wstring web = kMakerWeb;
        const std::pair<const wchar_t*, std::wstring> values[] = {
            {L"DisplayName", std::wstring(L"DorviVaultick ") + kProductVersion + L"  (" + kPublisher + L")"},
            {L"UninstallString", UninstallCommand(exePath)},
            {L"HelpLink", web},
            {L"URLUpdateInfo", web},
            {L"Publisher", kPublisher},
            {L"URLInfoAbout", std::wstring(L"MailTo: ") + kMakerMail},
            {L"DisplayVersion", std::wstring(kProductVersion) + L".0.0"},
            {L"Comments", std::wstring(L"Programma freeware di ") + kPublisher},
            {L"DisplayIcon", exePath},
        };
        for (const auto& [name, value] : values)
            if (!key.WriteString(name, value)) return false;
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace vt
