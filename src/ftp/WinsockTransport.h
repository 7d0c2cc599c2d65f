#pragma once
// The session's sockets: non-blocking Winsock sockets whose events arrive as messages to a
// hidden message-only window, so they are handled on the user-interface thread whenever the
// message loop runs.
#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <string>

#include "ftp/FtpSession.h"
#include "ftp/TlsChannel.h"

namespace vt {

class WinsockTransport : public FtpTransport {
public:
    WinsockTransport();
    ~WinsockTransport() override;
    WinsockTransport(const WinsockTransport&) = delete;
    WinsockTransport& operator=(const WinsockTransport&) = delete;

    void Attach(FtpSession* session) { session_ = session; }

    void Resolve(const std::string& host) override;
    void ConnectControl(uint32_t address, uint16_t port) override;
    bool SendControl(const std::string& bytes) override;
    void CloseControl() override;
    uint32_t ControlLocalAddress() override;
    int Listen(uint16_t& port) override;
    bool AcceptPending() override;
    void ConnectData(uint32_t address, uint16_t port) override;
    int SendData(const char* bytes, int count) override;
    void ContinueData() override;
    void ShutdownData() override;
    void CloseData() override;
    void StartControlTls(const std::string& host) override;
    CertificateVerdict ControlCertificate(const std::string& host) override;
    void ProtectData(bool on) override { protectData_ = on; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnControlEvent(SOCKET socket, int event, int error);
    void OnListenEvent(SOCKET socket, int event, int error);
    SOCKET AcceptFromServer(int& error);
    void TakeDataConnection(SOCKET accepted);
    void OnDataEvent(SOCKET socket, int event, int error);
    void DrainControl();
    void ReceiveControlTls(const char* bytes, int count);
    void StartDataTls();
    void ReceiveData();
    // Sends what waits for the data connection; a socket error, or 0 (maybe with bytes left).
    int FlushData();

    FtpSession* session_ = nullptr;
    HWND window_ = nullptr;
    bool started_ = false;
    SOCKET control_ = INVALID_SOCKET;
    SOCKET listener_ = INVALID_SOCKET;
    SOCKET data_ = INVALID_SOCKET;
    HANDLE lookup_ = nullptr;
    char hostBuffer_[MAXGETHOSTSTRUCT] = {};
    unsigned dataGeneration_ = 0;  // tells a continuation of an earlier data connection apart
    bool dataEnded_ = false;       // the whole file went out and the end was signalled

    // TLS: one credential handle per control connection, so the data connections can resume
    // its session; the data connection's certificate must be the control connection's.
    TlsCredentials credentials_;
    std::unique_ptr<TlsChannel> controlTls_;
    std::wstring tlsTarget_;
    std::string controlFingerprint_;
    bool protectData_ = false;
    std::unique_ptr<TlsChannel> dataTls_;
    std::string dataPending_;      // encrypted bytes the network has not taken yet
    bool dataEndWanted_ = false;   // the end goes out once dataPending_ is empty
};

}  // namespace vt
