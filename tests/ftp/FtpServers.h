#pragma once
// The servers that the ctest fixture started on the Linux side (ftp_servers.py): their ports,
// the real server's folder and the scripted servers' transcripts, seen through drive Z:.
#include <string>
#include <vector>

namespace vt::test {

inline constexpr wchar_t kFtpUser[] = L"vaultick";
inline constexpr wchar_t kFtpPassword[] = L"Segr3ta!";

// "127.0.0.1:<port>" of a server by name ("real", or a scripted fault); empty when unknown.
std::wstring FtpServerHost(const std::string& name);
// The real server's root folder, emptied by ClearFtpRoot.
std::wstring FtpRoot();
void ClearFtpRoot();
// Commands the scripted server received on its last connection, once that connection ended.
std::vector<std::string> Transcript(const std::string& name);
void ForgetTranscript(const std::string& name);
// The TLS server's certificate fingerprint (64 hexadecimal digits) and the commands it has
// received since ForgetTlsCommands, in order.
std::wstring TlsFingerprint();
std::vector<std::string> TlsCommands();
void ForgetTlsCommands();

// vsftpd behind TLS (vsftpd.sh): "vsftpd" takes PORT, "vsftpd-passive" refuses it. Its local
// user, the folder it serves (only the user can write the folder itself: empty it, never
// remove it), its certificate's fingerprint and its protocol log.
inline constexpr wchar_t kVsftpdUser[] = L"vaultick-ftp";
std::wstring VsftpdHost(const std::string& name);
std::wstring VsftpdRoot();
// The account's password, new each time the servers start.
std::string VsftpdPassword();
std::wstring VsftpdFingerprint();
std::string VsftpdLog(const std::string& name);

}  // namespace vt::test
