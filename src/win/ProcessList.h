#pragma once
#include <string>

namespace vt {

// How many running processes have this executable file name, compared without regard to case.
int CountProcesses(const std::wstring& exeName);

}  // namespace vt
