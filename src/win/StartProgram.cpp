#include "win/StartProgram.h"

#include <windows.h>
#include <shellapi.h>

#include "win/NotifyUser.h"

namespace vt {

bool StartProgram(const std::wstring& file, const std::wstring& parameters,
                  const std::wstring& folder, int showMode) {
    const HINSTANCE result =
        ShellExecuteW(ApplicationWindow(), L"open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                      folder.empty() ? nullptr : folder.c_str(), showMode);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace vt
