#include <gtest/gtest.h>

#include "install/Manifest.h"
#include "support/TempFolder.h"

namespace vt {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(Manifest, TwentyTwoLinesWithTheBuildsArchitecture) {
    const auto lines = Lines(ManifestText("X86"));
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");
    EXPECT_EQ(lines[2], "\t<assemblyIdentity");
    EXPECT_EQ(lines[4], "\t   processorArchitecture=\"X86\"");
    EXPECT_EQ(lines[8], "\t<description>Project Manifest by Dorvi Multimedia</description>");
    EXPECT_EQ(lines[15], "\t       processorArchitecture=\"X86\"");
    EXPECT_EQ(lines[18], "\t     />");
    EXPECT_EQ(lines[21], "</assembly>");
    EXPECT_STREQ(ManifestArchitecture(), "amd64");  // the tests run the 64-bit build
    const std::string own = ManifestText(ManifestArchitecture());
    EXPECT_EQ(own.find("X86"), std::string::npos);
}

TEST(Manifest, WrittenBesideTheProgramReplacingAnOldOne) {
    test::TempFolder folder;
    const std::wstring path = folder / L"DorviVaultick.exe.manifest";
    ASSERT_TRUE(test::WriteBytes(path, "old content that is longer than nothing"));
    ASSERT_TRUE(WriteManifest(folder.Path()));
    EXPECT_EQ(test::ReadBytes(path), ManifestText("amd64"));
    EXPECT_FALSE(WriteManifest(folder / L"missing"));
}

}  // namespace
}  // namespace vt
