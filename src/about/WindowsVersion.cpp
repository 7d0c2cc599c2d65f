#include "about/WindowsVersion.h"

#include <cwchar>

#include "win/RegKey.h"

namespace vt {

namespace {

constexpr const wchar_t* kWords[] = {L"3.11", L"95",   L"95 OSR2", L"98", L"98 SE",     L"Me",
                                     L"NT",   L"NT Server", L"2000", L"2000 Server", L"XP", L".NET Server"};

// The letter at the first or second place of the service-pack text ("A", " C").
bool LetterNearStart(const std::wstring& text, wchar_t letter) {
    return (text.size() > 0 && text[0] == letter) || (text.size() > 1 && text[1] == letter);
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);

// GetVersionEx reports an old version to programs without a compatibility manifest; ntdll's
// own query tells the truth.
bool QueryVersion(OSVERSIONINFOEXW& info) {
    info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        const auto query =
            reinterpret_cast<RtlGetVersionFn>(GetProcAddress(ntdll, "RtlGetVersion"));
        if (query && query(&info) == 0) return true;
    }
    info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != FALSE;
}

}  // namespace

WindowsName ClassifyWindows(const VersionRecord& record, bool server) {
    WindowsName result;
    DWORD minor = record.minor;
    const DWORD build = record.buildField & 0xFFFF;
    switch (record.platformId) {
        case VER_PLATFORM_WIN32s:
            result.index = 0;
            result.platformClass = 0;
            break;
        case VER_PLATFORM_WIN32_WINDOWS:
            result.platformClass = 1;
            minor = (record.buildField >> 16) & 0xFF;
            if (record.major == 4) {
                if (minor < 10) result.index = LetterNearStart(record.servicePack, L'C') ? 2 : 1;
                else if (minor < 90) result.index = LetterNearStart(record.servicePack, L'A') ? 4 : 3;
                else if (minor < 100) result.index = 5;
            }
            break;
        case VER_PLATFORM_WIN32_NT:
            result.platformClass = 2;
            if (record.major == 5) {
                if (minor == 0) result.index = server ? 9 : 8;
                else if (minor == 1) result.index = server ? 11 : 10;
            } else if (record.major < 5) {
                result.index = server ? 7 : 6;
            }
            break;
        default:
            break;
    }
    result.name = std::wstring(L"Microsoft Windows ") + kWords[result.index];
    wchar_t text[48];
    swprintf(text, sizeof text / sizeof text[0], L"%lu.%2.2lu.%lu", static_cast<unsigned long>(record.major),
             static_cast<unsigned long>(minor), static_cast<unsigned long>(build));
    result.versionText = text;
    return result;
}

NTProduct DescribeNTProduct(const ProductRecord& record) {
    NTProduct result;
    result.servicePack = record.servicePack;
    result.server = record.productType != VER_NT_WORKSTATION;
    switch (record.productType) {
        case VER_NT_WORKSTATION: result.product = L"Professional"; break;
        case VER_NT_DOMAIN_CONTROLLER: result.product = L"Domain controller"; break;
        case VER_NT_SERVER: result.product = L"Server"; break;
        default: break;
    }
    const WORD mask = record.suiteMask;
    std::wstring& suites = result.suites;
    if (record.productType == VER_NT_WORKSTATION) {
        if (mask & 0x100) suites += L"Personal";
        if (mask & 0x200) suites += L"Home Edition";
        return result;
    }
    if (mask & 0x1) suites += L"Small Business Server";
    if (mask & 0x2) suites += record.minor != 0 ? L"Enterprise Server" : L"Advanced Server";
    if (mask & 0x4) suites += L"BackOffice components";
    if (mask & 0x8) suites += L"Communication components";
    if (mask & 0x10) suites += L"Terminal Services";
    if (mask & 0x20) suites += L"Small Business Server with restrictive client license";
    if (mask & 0x40) suites += L"Embedded NT";
    if (mask & 0x80) suites += L"DataCenter Server";
    if (mask & 0x400) suites += L"Web Server";
    return result;
}

NTProduct DescribeNTProductFromRegistry(const std::optional<std::wstring>& productType,
                                        const std::optional<std::wstring>& suiteMask,
                                        const std::wstring& servicePack) {
    NTProduct result;
    result.servicePack = servicePack;
    const std::wstring type = Upper(productType.value_or(L""));
    if (type.find(L"WINNT") != std::wstring::npos) {
        result.product = L"Professional";
    } else {
        result.server = true;
        if (type == L"SERVERNT") result.product = L"Server";
        else if (type == L"LANMANNT") result.product = L"Advanced Server";
    }
    if (suiteMask) {
        result.suites = *suiteMask;
        result.server = true;
    }
    return result;
}

std::wstring WindowsLine(const WindowsName& name, const std::wstring& servicePack) {
    std::wstring line = name.name + L" - build " + name.versionText;
    // Systems since Windows 8 have no service packs: no dangling separator then.
    if (name.platformClass == 2 && !servicePack.empty()) line += L" - " + servicePack;
    return line;
}

VersionRecord ReadVersionRecord() {
    OSVERSIONINFOEXW info;
    VersionRecord record;
    if (!QueryVersion(info)) {
        record.servicePack = L"Error retriving version";
        return record;
    }
    record.platformId = info.dwPlatformId;
    record.major = info.dwMajorVersion;
    record.minor = info.dwMinorVersion;
    record.buildField = info.dwBuildNumber;
    record.servicePack = info.szCSDVersion;
    return record;
}

NTProduct NTProductDetails() {
    OSVERSIONINFOEXW info;
    if (QueryVersion(info)) {
        ProductRecord record;
        record.productType = info.wProductType;
        record.suiteMask = info.wSuiteMask;
        record.minor = info.dwMinorVersion;
        record.servicePack = info.szCSDVersion;
        return DescribeNTProduct(record);
    }
    const RegKey options =
        RegKey::Open(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions");
    const RegKey windows = RegKey::Open(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Windows");
    return DescribeNTProductFromRegistry(options.ReadString(L"ProductType"), options.ReadString(L"SuiteMask"),
                                         windows.ReadString(L"CSDVersion").value_or(L""));
}

WindowsName WindowsVersionName() {
    const VersionRecord record = ReadVersionRecord();
    const bool server = record.platformId == VER_PLATFORM_WIN32_NT && NTProductDetails().server;
    return ClassifyWindows(record, server);
}

}  // namespace vt
