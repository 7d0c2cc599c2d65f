#pragma once
// The side-by-side manifest beside the main program, which gives it the themed controls.
#include <string>

namespace vt {

// "X86" in the 32-bit build, "amd64" in the 64-bit one: a manifest naming another
// architecture than the program's keeps it from starting.
const char* ManifestArchitecture();
std::string ManifestText(const char* architecture);
// Writes programFolder + "\DorviVaultick.exe.manifest", replacing it; false on failure.
bool WriteManifest(const std::wstring& programFolder);

}  // namespace vt
