#pragma once
// A TLS client over the system's SChannel, byte in and byte out: the caller owns the socket and
// moves what the channel asks to send and what arrived. One credential handle serves a whole
// FTP session, so the data connections can resume the control connection's TLS session.
#define SECURITY_WIN32
#include <windows.h>
#include <security.h>

#include <string>

namespace vt {

class TlsCredentials {
public:
    TlsCredentials() = default;
    ~TlsCredentials();
    TlsCredentials(const TlsCredentials&) = delete;
    TlsCredentials& operator=(const TlsCredentials&) = delete;

    // Acquires the handle once; later calls reuse it. A SECURITY_STATUS, SEC_E_OK on success.
    long Acquire();
    void Release();
    CredHandle* Handle() { return valid_ ? &handle_ : nullptr; }

private:
    CredHandle handle_{};
    bool valid_ = false;
};

// What the server's certificate is worth: trusted by the system for that host name, and its
// SHA-256 fingerprint as 64 upper-case hexadecimal digits (empty when there was none).
struct CertificateVerdict {
    bool trusted = false;
    std::string fingerprint;
};

class TlsChannel {
public:
    enum class State { Handshaking, Open, Closed, Failed };

    TlsChannel(TlsCredentials& credentials, const std::wstring& target);
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    // Begins the handshake; `out` receives the bytes to send.
    State Start(std::string& out);
    // Bytes that arrived. While handshaking `out` receives what to send next; once open,
    // `plain` receives the decrypted bytes. A close_notify from the peer gives Closed.
    State Receive(const char* bytes, size_t count, std::string& out, std::string& plain);
    // Encrypts into records appended to `out`; false when the channel is not open.
    bool Encrypt(const char* bytes, size_t count, std::string& out);
    // The close_notify alert to send before the socket closes.
    bool CloseNotify(std::string& out);

    State GetState() const { return state_; }
    long Status() const { return status_; }
    CertificateVerdict CheckServer(const std::wstring& host) const;

private:
    State Step(std::string& out);
    State Decrypt(std::string& plain);
    State Fail(long status);

    TlsCredentials& credentials_;
    std::wstring target_;
    CtxtHandle context_{};
    bool hasContext_ = false;
    unsigned long request_ = 0;  // what the handshake asks of the security package
    State state_ = State::Handshaking;
    long status_ = 0;
    std::string incoming_;
    SecPkgContext_StreamSizes sizes_{};
};

}  // namespace vt
