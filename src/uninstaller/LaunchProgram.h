#pragma once
// "LanciaFile": starts the main program again once it has ended.
#include <string>

namespace vt::sweepex {

// Creates a process whose whole command line is commandLine: no inherited handles, normal
// priority, a new console, shown normally, not waited for. Only a bare name of a program in
// ownFolder is started, from there; anything else starts nothing. False when nothing started.
bool LaunchProgram(const std::wstring& ownFolder, const std::wstring& commandLine);

}  // namespace vt::sweepex
