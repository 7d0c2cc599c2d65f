#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "RunningProgram.h"

namespace vt {
namespace {

// The manifest each program carries inside itself, read back as the system reads it.
std::string EmbeddedManifest(const std::wstring& program) {
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return {};
    std::string text;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const HGLOBAL loaded = LoadResource(module, found);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (bytes) text.assign(static_cast<const char*>(bytes), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

TEST(EmbeddedManifest, BothProgramsRunAsInvokerWithTheCurrentControlsOnTheSystemsTheyKnow) {
    for (const wchar_t* name : {L"DorviVaultick.exe", L"Sweepex.exe"}) {
        const std::string manifest = EmbeddedManifest(test::BinFolder() + L"\\" + name);
        ASSERT_FALSE(manifest.empty()) << "no manifest in " << std::string(name, name + wcslen(name));
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
        EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
        for (const char* system : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                   "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
            EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + system + "\"/>"), std::string::npos) << system;
    }
}

}  // namespace
}  // namespace vt
