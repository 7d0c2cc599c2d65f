#include "LinkReader.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace vt::test {

std::optional<LinkFields> ReadLink(const std::wstring& file) {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<LinkFields> result;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
                LinkFields fields;
                wchar_t buffer[MAX_PATH * 2] = {};
                link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
                fields.target = buffer;
                buffer[0] = 0;
                link->GetArguments(buffer, MAX_PATH * 2);
                fields.arguments = buffer;
                buffer[0] = 0;
                link->GetWorkingDirectory(buffer, MAX_PATH * 2);
                fields.workingFolder = buffer;
                buffer[0] = 0;
                link->GetIconLocation(buffer, MAX_PATH * 2, &fields.iconIndex);
                fields.iconFile = buffer;
                result = fields;
            }
            persist->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return result;
}

}  // namespace vt::test
