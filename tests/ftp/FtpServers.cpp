#include "FtpServers.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>

#include "support/TempFolder.h"

namespace vt::test {

namespace {

std::wstring StateFolder(const wchar_t* variable = L"VAULTICK_FTP_STATE") {
    wchar_t value[1024];
    const DWORD size = GetEnvironmentVariableW(variable, value, 1024);
    if (size == 0 || size >= 1024) return L"";
    std::wstring path = L"Z:" + std::wstring(value, size);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::wstring HostFromPorts(const std::wstring& folder, const std::string& name) {
    std::istringstream ports(ReadBytes(folder + L"\\ports"));
    std::string server;
    int port = 0;
    while (ports >> server >> port)
        if (server == name) return L"127.0.0.1:" + std::to_wstring(port);
    ADD_FAILURE() << "no FTP test server " << name << " (are VAULTICK_FTP_STATE and VAULTICK_VSFTPD_STATE set by ctest?)";
    return L"";
}

std::wstring VsftpdFolder() { return StateFolder(L"VAULTICK_VSFTPD_STATE"); }

}  // namespace

std::wstring FtpServerHost(const std::string& name) { return HostFromPorts(StateFolder(), name); }

std::wstring FtpRoot() { return StateFolder() + L"\\root"; }

void ClearFtpRoot() {
    RemoveTree(FtpRoot());
    CreateDirectoryW(FtpRoot().c_str(), nullptr);
}

std::vector<std::string> Transcript(const std::string& name) {
    const std::wstring path = StateFolder() + L"\\" + std::wstring(name.begin(), name.end()) + L".txt";
    // Written when the server's side of the connection ends, a moment after our QUIT.
    for (int i = 0; i < 1200 && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    std::vector<std::string> lines;
    std::istringstream text(ReadBytes(path));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

void ForgetTranscript(const std::string& name) {
    DeleteFileW((StateFolder() + L"\\" + std::wstring(name.begin(), name.end()) + L".txt").c_str());
}

std::wstring TlsFingerprint() {
    const std::string hex = ReadBytes(StateFolder() + L"\\tls-fingerprint");
    return std::wstring(hex.begin(), hex.end());
}

std::vector<std::string> TlsCommands() {
    std::vector<std::string> lines;
    std::istringstream text(ReadBytes(StateFolder() + L"\\tls-commands.txt"));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

void ForgetTlsCommands() { DeleteFileW((StateFolder() + L"\\tls-commands.txt").c_str()); }

std::wstring VsftpdHost(const std::string& name) { return HostFromPorts(VsftpdFolder(), name); }

// Outside the build tree, where the server's account can reach it.
std::wstring VsftpdRoot() {
    const std::string unix = ReadBytes(VsftpdFolder() + L"\\served");
    std::wstring path = L"Z:" + std::wstring(unix.begin(), unix.end());
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return unix.empty() ? L"" : path;
}

std::wstring VsftpdFingerprint() {
    const std::string hex = ReadBytes(VsftpdFolder() + L"\\fingerprint");
    return std::wstring(hex.begin(), hex.end());
}

std::string VsftpdPassword() { return ReadBytes(VsftpdFolder() + L"\\password"); }

std::string VsftpdLog(const std::string& name) {
    return ReadBytes(VsftpdFolder() + L"\\" + std::wstring(name.begin(), name.end()) + L".log");
}

}  // namespace vt::test
