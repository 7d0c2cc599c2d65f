#include <gtest/gtest.h>

#include "about/IsXPOrLater.h"
#include "about/WindowsVersion.h"

namespace vt {
namespace {

struct VersionCase {
    const char* what;
    VersionRecord record;
    bool server;
    int index;
    const wchar_t* name;
    const wchar_t* versionText;
};

// The Windows 95 family keeps major and minor in the high word of its build field.
constexpr DWORD Build9x(DWORD major, DWORD minor, DWORD build) { return major << 24 | minor << 16 | build; }

TEST(WindowsVersionName, ClassifiesEveryKnownVersion) {
    const VersionCase cases[] = {
        {"Win32s", {0, 3, 11, 0, L""}, false, 0, L"Microsoft Windows 3.11", L"3.11.0"},
        {"95 with C", {1, 4, 0, Build9x(4, 0, 1111), L" C"}, false, 2, L"Microsoft Windows 95 OSR2", L"4.00.1111"},
        {"95 plain", {1, 4, 0, Build9x(4, 0, 950), L""}, false, 1, L"Microsoft Windows 95", L"4.00.950"},
        {"98", {1, 4, 10, Build9x(4, 10, 1998), L" "}, false, 3, L"Microsoft Windows 98", L"4.10.1998"},
        {"98 SE", {1, 4, 10, Build9x(4, 10, 2222), L" A "}, false, 4, L"Microsoft Windows 98 SE", L"4.10.2222"},
        // The minor version of this family comes from the build field, not from its own field.
        {"Me", {1, 4, 0, Build9x(4, 90, 3000), L" "}, false, 5, L"Microsoft Windows Me", L"4.90.3000"},
        {"9x unknown minor", {1, 4, 0, Build9x(4, 120, 1), L""}, false, 10, L"Microsoft Windows XP", L"4.120.1"},
        {"NT 4 server", {2, 4, 0, 1381, L"Service Pack 6"}, true, 7, L"Microsoft Windows NT Server", L"4.00.1381"},
        {"NT 4 workstation", {2, 4, 0, 1381, L"Service Pack 6"}, false, 6, L"Microsoft Windows NT", L"4.00.1381"},
        {"2000", {2, 5, 0, 2195, L""}, false, 8, L"Microsoft Windows 2000", L"5.00.2195"},
        {"2000 Server", {2, 5, 0, 2195, L""}, true, 9, L"Microsoft Windows 2000 Server", L"5.00.2195"},
        {"XP SP2", {2, 5, 1, 2600, L"Service Pack 2"}, false, 10, L"Microsoft Windows XP", L"5.01.2600"},
        {".NET Server", {2, 5, 1, 3663, L""}, true, 11, L"Microsoft Windows .NET Server", L"5.01.3663"},
        {"5.2 keeps XP", {2, 5, 2, 3790, L""}, true, 10, L"Microsoft Windows XP", L"5.02.3790"},
        {"major 6", {2, 6, 1, 7601, L"Service Pack 1"}, false, 10, L"Microsoft Windows XP", L"6.01.7601"},
        {"only low 16 bits of the build", {2, 10, 0, 0x12344A65, L""}, false, 10, L"Microsoft Windows XP",
         L"10.00.19045"},
    };
    for (const VersionCase& c : cases) {
        const WindowsName name = ClassifyWindows(c.record, c.server);
        EXPECT_EQ(name.index, c.index) << c.what;
        EXPECT_EQ(name.platformClass, static_cast<int>(c.record.platformId)) << c.what;
        EXPECT_EQ(name.name, c.name) << c.what;
        EXPECT_EQ(name.versionText, c.versionText) << c.what;
        EXPECT_EQ(IsXPOrLater(name), c.index > 9) << c.what;
    }
}

TEST(WindowsVersionName, WindowsLineAddsTheServicePackOnlyOnTheNTFamily) {
    const WindowsName xp = ClassifyWindows({2, 5, 1, 2600, L""}, false);
    EXPECT_EQ(WindowsLine(xp, L"Service Pack 2"), L"Microsoft Windows XP - build 5.01.2600 - Service Pack 2");
    EXPECT_EQ(WindowsLine(xp, L""), L"Microsoft Windows XP - build 5.01.2600");
    const WindowsName se = ClassifyWindows({1, 4, 10, Build9x(4, 10, 2222), L" A "}, false);
    EXPECT_EQ(WindowsLine(se, L" A "), L"Microsoft Windows 98 SE - build 4.10.2222");
}

TEST(WindowsVersionName, RunningSystemIsNamedAndPassesTheXPTest) {
    const WindowsName name = WindowsVersionName();
    EXPECT_EQ(name.platformClass, 2);
    EXPECT_EQ(name.name.rfind(L"Microsoft Windows ", 0), 0u) << name.name;
    // No manifest in the test program: only ntdll's query reports the real major version.
    OSVERSIONINFOW legacy{};
    legacy.dwOSVersionInfoSize = sizeof legacy;
    ASSERT_TRUE(GetVersionExW(&legacy));
    EXPECT_GE(ReadVersionRecord().major, legacy.dwMajorVersion);
    EXPECT_TRUE(IsXPOrLater());
}

TEST(NTProductDetails, WorkstationSuitesAndProductWord) {
    const NTProduct home = DescribeNTProduct({1, 0x300, 1, L"Service Pack 3"});
    EXPECT_FALSE(home.server);
    EXPECT_EQ(home.product, L"Professional");
    EXPECT_EQ(home.suites, L"PersonalHome Edition");
    EXPECT_EQ(home.servicePack, L"Service Pack 3");
    // Server suites mean nothing on a workstation.
    EXPECT_EQ(DescribeNTProduct({1, 0x0012, 1, L""}).suites, L"");
}

TEST(NTProductDetails, ServerSuitesInTheirOrderAndTheMinorVersionRule) {
    const NTProduct server = DescribeNTProduct({3, 0x0415, 0, L""});
    EXPECT_TRUE(server.server);
    EXPECT_EQ(server.product, L"Server");
    EXPECT_EQ(server.suites, L"Small Business ServerBackOffice componentsTerminal ServicesWeb Server");
    EXPECT_EQ(DescribeNTProduct({3, 0x2, 0, L""}).suites, L"Advanced Server");
    EXPECT_EQ(DescribeNTProduct({3, 0x2, 2, L""}).suites, L"Enterprise Server");
    const NTProduct controller = DescribeNTProduct({2, 0x00E8, 2, L""});
    EXPECT_TRUE(controller.server);
    EXPECT_EQ(controller.product, L"Domain controller");
    EXPECT_EQ(controller.suites,
              L"Communication componentsSmall Business Server with restrictive client licenseEmbedded NT"
              L"DataCenter Server");
}

TEST(NTProductDetails, RegistryAnswerWhenTheExtendedQueryIsMissing) {
    const NTProduct workstation = DescribeNTProductFromRegistry(L"WinNT", std::nullopt, L"Service Pack 6");
    EXPECT_FALSE(workstation.server);
    EXPECT_EQ(workstation.product, L"Professional");
    EXPECT_EQ(workstation.servicePack, L"Service Pack 6");
    const NTProduct server = DescribeNTProductFromRegistry(L"ServerNT", std::nullopt, L"");
    EXPECT_TRUE(server.server);
    EXPECT_EQ(server.product, L"Server");
    EXPECT_EQ(DescribeNTProductFromRegistry(L"lanmannt", std::nullopt, L"").product, L"Advanced Server");
    const NTProduct suite = DescribeNTProductFromRegistry(L"WINNT", L"Terminal Server", L"");
    EXPECT_TRUE(suite.server);
    EXPECT_EQ(suite.suites, L"Terminal Server");
}

}  // namespace
}  // namespace vt
