#pragma once
// Which Windows the computer runs: the version record as the system reports it, its
// classification into the names the about box shows, and the XP-or-later test.
#include <windows.h>

#include <optional>
#include <string>

namespace vt {

// The fields of the system's version query, as it returns them.
struct VersionRecord {
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD major = 0;
    DWORD minor = 0;
    DWORD buildField = 0;  // the Windows 95 family keeps major and minor in its high word
    std::wstring servicePack;
};

// The extended query's product fields.
struct ProductRecord {
    BYTE productType = 0;  // 1 workstation, 2 domain controller, 3 server
    WORD suiteMask = 0;
    DWORD minor = 0;
    std::wstring servicePack;
};

struct NTProduct {
    bool server = false;
    std::wstring product;
    std::wstring suites;
    std::wstring servicePack;
};

struct WindowsName {
    int index = 10;         // 0 "3.11" .. 11 ".NET Server"
    int platformClass = 0;  // 0 16-bit host, 1 Windows 95 family, 2 NT family
    std::wstring name;      // "Microsoft Windows XP"
    std::wstring versionText;  // "5.01.2600"
};

// Pure classification; the server flag matters only on the NT family.
WindowsName ClassifyWindows(const VersionRecord& record, bool server);
NTProduct DescribeNTProduct(const ProductRecord& record);
// The registry's answer when the extended query is missing; nullopt stands for an absent value.
NTProduct DescribeNTProductFromRegistry(const std::optional<std::wstring>& productType,
                                        const std::optional<std::wstring>& suiteMask,
                                        const std::wstring& servicePack);

// "Microsoft Windows XP - build 5.01.2600 - Service Pack 2"; the service pack counts only on
// the NT family.
std::wstring WindowsLine(const WindowsName& name, const std::wstring& servicePack);

// The same, read from the running system.
VersionRecord ReadVersionRecord();
NTProduct NTProductDetails();
WindowsName WindowsVersionName();

}  // namespace vt
