#pragma once
// One FTP client session for the backup engine: Connect, Mkd, Put and Quit, each synchronous
// for the caller while the message loop runs inside.
#include <memory>
#include <string>

#include "ftp/FtpSession.h"

namespace vt {

class WinsockTransport;

class TFtpClient {
public:
    TFtpClient();
    ~TFtpClient();
    TFtpClient(const TFtpClient&) = delete;
    TFtpClient& operator=(const TFtpClient&) = delete;

    // Texts go on the wire in the ANSI code page. HostName may carry ":port" (21 without).
    std::wstring HostName, UserName, PassWord, HostFileName, LocalFileName;
    bool Binary = true;
    bool Secure = false;           // explicit TLS for the login and the data
    std::wstring CertificatePin;   // SHA-256 fingerprint accepted without the system's trust
    int Timeout = 10;  // seconds without progress; 0 waits for ever

    bool Connect();
    bool Mkd();
    bool Put();
    bool Quit();

    bool Connected() const { return session_->Connected(); }
    bool Passive() const { return session_->Passive(); }
    FtpPhase Phase() const { return session_->Phase(); }
    int StatusCode() const { return session_->StatusCode(); }
    int RequestError() const { return session_->RequestError(); }
    std::wstring LastResponse() const;
    std::wstring ErrorMessage() const;
    FtpSecurityFailure SecurityFailure() const { return session_->SecurityFailure(); }
    // 64 hexadecimal digits; empty when no certificate was seen.
    std::string ServerFingerprint() const { return session_->ServerFingerprint(); }

private:
    void TakeSettings();
    bool Wait();

    std::unique_ptr<WinsockTransport> transport_;
    std::unique_ptr<FtpSession> session_;
};

}  // namespace vt
