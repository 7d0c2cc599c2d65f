#include <gtest/gtest.h>

#include <windows.h>

#include "support/TempFolder.h"
#include "win/StartProgram.h"

namespace vt {
namespace {

TEST(StartProgram, OpensAProgramWithParametersInItsFolder) {
    test::TempFolder temp;
    // cmd writes the folder it was started in, which proves parameters and folder arrive.
    ASSERT_TRUE(StartProgram(L"cmd.exe", L"/c cd > here.txt", temp.Path(), SW_HIDE));
    // cmd writes the line in one go; until then the file is missing or empty.
    std::string written;
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (written.find("vttest-") == std::string::npos && GetTickCount64() < deadline) {
        Sleep(50);
        written = test::ReadBytes(temp / L"here.txt");
    }
    EXPECT_NE(written.find("vttest-"), std::string::npos) << written;
}

TEST(StartProgram, MissingFileIsAFailure) {
    EXPECT_FALSE(StartProgram(L"C:\\nessuno\\manca.exe", L"", L"", SW_SHOWNORMAL));
}

}  // namespace
}  // namespace vt
