#pragma once
// The protocol of one FTP client session as a state machine: requests are started, socket
// events are fed in, and the session asks its transport for the socket work. No sockets here,
// so tests drive it with a scripted transport.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ftp/FtpReply.h"
#include "ftp/TlsChannel.h"

namespace vt {

// What the session needs of a socket layer. Every start reports its end through the
// session's On... calls, later, on the user-interface thread. Addresses are IPv4 in network
// byte order, ports in host order.
class FtpTransport {
public:
    virtual ~FtpTransport() = default;
    virtual void Resolve(const std::string& host) = 0;                        // OnResolved
    virtual void ConnectControl(uint32_t address, uint16_t port) = 0;         // OnControlConnected
    virtual bool SendControl(const std::string& bytes) = 0;
    virtual void CloseControl() = 0;  // also cancels a lookup
    virtual uint32_t ControlLocalAddress() = 0;
    // Listens on any address and a port the system chooses; 0 or a socket error.
    virtual int Listen(uint16_t& port) = 0;                                   // OnDataAccepted
    // Takes a connection already waiting on the listening socket without waiting for its
    // event; false when none is there yet (the event then follows as usual).
    virtual bool AcceptPending() = 0;
    virtual void ConnectData(uint32_t address, uint16_t port) = 0;            // OnDataConnected
    // Bytes taken (maybe fewer than offered), 0 when the network is full (OnDataWritable
    // follows when it has room), or minus a socket error.
    virtual int SendData(const char* bytes, int count) = 0;
    // Asks for OnDataWritable after the pending events, so the message loop runs between blocks.
    virtual void ContinueData() = 0;
    virtual void ShutdownData() = 0;  // no more bytes: the server sees the end of the file
    virtual void CloseData() = 0;     // the listening socket and the data connection, at once
    // TLS on the control connection from now on; the handshake's end comes as OnControlSecured.
    virtual void StartControlTls(const std::string& host) = 0;
    // The certificate the control connection's server showed, judged for that host name.
    virtual CertificateVerdict ControlCertificate(const std::string& host) = 0;
    // Every later data connection gets its own handshake, reported by OnDataSecured.
    virtual void ProtectData(bool on) = 0;
};

// Why a protected connection was not made: the reason decides the failure line of the run.
enum class FtpSecurityFailure { None, Refused, Untrusted };

enum class FtpPhase { Ready, Resolving, WaitingBanner, WaitingResponse, Aborting };

class FtpSession {
public:
    // Bytes read from the file and handed to the network at a time; the .cpp says why so many.
    static constexpr int kBlockSize = 1024 * 1024;

    explicit FtpSession(FtpTransport& transport) : transport_(transport) {}
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Settings. Texts travel as the bytes given here. hostName may end with ":port".
    std::string hostName, userName, password, hostFileName;
    std::wstring localFileName;
    bool binary = true;
    // Explicit TLS: AUTH TLS before the login, PROT P for the data connections.
    bool secure = false;
    // Fingerprint accepted for a certificate the system does not trust (64 hexadecimal digits).
    std::string certificatePin;

    // Each starts a request; false when it could not start (errorMessage tells why), and then
    // the phase is Ready again. Quit always starts, dropping a request still running.
    bool StartConnect();
    bool StartMkd();
    bool StartPut();
    bool StartQuit();
    // Timeout or program ending: drops the connections and ends the request with "426 Timeout".
    void Abandon();
    // Timeout while the server, having answered STOR, never connects to our active data port:
    // asks it to drop that transfer so the file can go once more in passive mode. False when
    // there is nothing to try and the request is to be abandoned.
    bool RetryPassiveAfterTimeout();

    void OnResolved(int error, uint32_t address);
    void OnControlConnected(int error);
    void OnControlData(const char* bytes, size_t count);
    void OnControlClosed(int error);
    void OnDataAccepted(int error);
    void OnDataConnected(int error);
    void OnDataWritable();
    void OnDataClosed(int error);
    // 0, or a SECURITY_STATUS when a handshake failed.
    void OnControlSecured(long status);
    void OnDataSecured(long status);

    FtpPhase Phase() const { return phase_; }
    bool Connected() const { return connected_; }
    bool Passive() const { return passive_; }
    const std::string& LastResponse() const { return lastResponse_; }
    int StatusCode() const { return statusCode_; }
    int RequestError() const { return requestError_; }
    const std::string& ErrorMessage() const { return errorMessage_; }
    // Grows with every block of a transfer handed to the network; replies do not count.
    unsigned Progress() const { return progress_; }
    // Grows with every request started, so a caller can tell that Quit cut into its request.
    unsigned Request() const { return request_; }
    // Of the last Connect: why protection failed, and the fingerprint the server showed.
    FtpSecurityFailure SecurityFailure() const { return securityFailure_; }
    const std::string& ServerFingerprint() const { return serverFingerprint_; }

private:
    enum class Step { None, Lookup, Connect, Banner, Auth, Secure, User, Pass, Pbsz, Prot, Mkd, Type, Port, Pasv, Stor, Abor, Quit };

    bool Begin(Step first, FtpPhase phase);
    void Send(const std::string& command);
    void OnReply(int code);
    void ReplyToLogin(int code);
    void ReplyToProtection(int code);
    void SendUser();
    void LoggedIn();
    void ReplyToType(int code);
    void ReplyToPasv(int code);
    void ReplyToAbor(int code);
    void ReplyToQuit(int code);
    void OnProtocolError();
    void DropRunningRequest();
    void Succeed();
    void Fail(int code, const std::string& message);
    void FailConnect(int code, const std::string& message);
    void ReplyToStor(int code);
    void OpenDataPort();
    void FallBackToPassive();
    bool CheckReadyAndConnected();
    void SendStor();
    void TryStartSending();
    void DataLinked();
    void Pump();
    bool ReadNextBlock();
    void DataFailed(int error);
    void TryFinishTransfer();
    void EndTransfer();
    std::string Hidden(const std::string& text) const;

    FtpTransport& transport_;
    ReplyAssembler replies_;
    FtpPhase phase_ = FtpPhase::Ready;
    Step step_ = Step::None;
    bool connected_ = false;
    bool passive_ = false;        // kept for the rest of the session once active mode failed
    bool triedPassive_ = false;   // for the running Put
    uint32_t serverAddress_ = 0;
    uint16_t port_ = 21;              // of the control connection, from hostName
    std::string host_;                // hostName without the port: the certificate's name
    FtpSecurityFailure securityFailure_ = FtpSecurityFailure::None;
    std::string serverFingerprint_;
    bool dataProtected_ = false;      // PROT P accepted in this session
    std::string replyLine_;           // the last reply line as received
    std::string lastResponse_;
    int statusCode_ = 0;
    int requestError_ = 0;
    std::string errorMessage_;
    unsigned progress_ = 0;
    unsigned request_ = 0;

    // The running Put.
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::vector<char> block_;
    size_t blockSent_ = 0, blockSize_ = 0;
    // dataOpen_: the connection is made; dataReady_: and, when protected, its handshake is done.
    bool storStarted_ = false, dataOpen_ = false, dataReady_ = false, dataClosed_ = false, sending_ = false,
         endSent_ = false, finalReply_ = false;
    int dataError_ = 0;
};

}  // namespace vt
