#pragma once
#include <string>

namespace vt {

// Opens a file through the shell's "open" action; true when the shell accepted it.
bool StartProgram(const std::wstring& file, const std::wstring& parameters,
                  const std::wstring& folder, int showMode);

}  // namespace vt
