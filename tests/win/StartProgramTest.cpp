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
    std::string written;
    for (int i = 0; i < 100 && written.empty(); ++i) {
        Sleep(100);
        written = test::ReadBytes(temp / L"here.txt");
    }
    EXPECT_NE(written.find("vttest-"), std::string::npos) << written;
    Sleep(200);  // let cmd let go of the file before the folder is removed
}

TEST(StartProgram, MissingFileIsAFailure) {
    EXPECT_FALSE(StartProgram(L"C:\\nessuno\\manca.exe", L"", L"", SW_SHOWNORMAL));
}

}  // namespace
}  // namespace vt
