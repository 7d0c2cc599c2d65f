#include "ftp/FtpSession.h"

#include "ftp/CertificatePin.h"
#include "ftp/SocketErrors.h"
#include "win/Text.h"

namespace vt {

namespace {

bool IsDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// "host:port" gives the port; a name with no colon or more than one (an IPv6 form) keeps 21.
void SplitHostPort(const std::string& text, std::string& host, uint16_t& port) {
    host = text;
    port = 21;
    const size_t colon = text.find(':');
    if (colon == std::string::npos || text.find(':', colon + 1) != std::string::npos) return;
    const std::string digits = text.substr(colon + 1);
    if (!IsDigits(digits) || digits.size() > 5) return;
    const unsigned long value = std::stoul(digits);
    if (value == 0 || value > 65535) return;
    host = text.substr(0, colon);
    port = static_cast<uint16_t>(value);
}

}  // namespace

FtpSession::~FtpSession() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool FtpSession::Begin(Step first, FtpPhase phase) {
    ++request_;
    requestError_ = 0;
    errorMessage_.clear();
    step_ = first;
    phase_ = phase;
    return true;
}

bool FtpSession::StartConnect() {
    if (connected_) {
        errorMessage_ = "FTP component already connected";
        return false;
    }
    if (phase_ != FtpPhase::Ready) {
        errorMessage_ = "FTP component not ready";
        return false;
    }
    Begin(Step::Lookup, FtpPhase::Resolving);
    passive_ = false;
    replies_.Clear();
    securityFailure_ = FtpSecurityFailure::None;
    serverFingerprint_.clear();
    dataProtected_ = false;
    transport_.ProtectData(false);
    std::string host;
    SplitHostPort(hostName, host, port_);
    host_ = host;
    if (host.empty()) {
        // An empty name would look up this machine's own name.
        FailConnect(500, "500 " + SocketErrorDetail(11001));
        return false;
    }
    transport_.Resolve(host);
    return true;
}

// The checks Mkd and Put make before they send anything.
bool FtpSession::CheckReadyAndConnected() {
    if (phase_ != FtpPhase::Ready) {
        errorMessage_ = "FTP component not ready";
        return false;
    }
    if (!connected_) {
        errorMessage_ = "FTP component not connected";
        return false;
    }
    return true;
}

bool FtpSession::StartMkd() {
    if (!CheckReadyAndConnected()) return false;
    Begin(Step::Mkd, FtpPhase::WaitingResponse);
    Send("MKD " + hostFileName);
    return true;
}

bool FtpSession::StartPut() {
    if (!CheckReadyAndConnected()) return false;
    Begin(Step::Type, FtpPhase::WaitingResponse);
    triedPassive_ = false;
    storStarted_ = dataOpen_ = dataReady_ = dataClosed_ = sending_ = endSent_ = finalReply_ = false;
    dataError_ = 0;
    blockSent_ = blockSize_ = 0;
    Send(std::string("TYPE ") + (binary ? "I" : "A"));
    return true;
}

bool FtpSession::StartQuit() {
    // Quit can always close the session, even in the middle of another request.
    if (phase_ != FtpPhase::Ready) DropRunningRequest();
    // Without a connection nothing is sent and the request ends by its timeout.
    Begin(Step::Quit, FtpPhase::WaitingResponse);
    Send("QUIT");
    return true;
}

// The transfer stops at once; a lookup or a connection still being made is cancelled. Replies
// still due to the dropped request may come before the one to QUIT, which closes anyway.
void FtpSession::DropRunningRequest() {
    transport_.CloseData();
    EndTransfer();
    if (!connected_) {
        transport_.CloseControl();
        replies_.Clear();
    }
    step_ = Step::None;
    phase_ = FtpPhase::Ready;
}

void FtpSession::Send(const std::string& command) {
    if (connected_) transport_.SendControl(command + "\r\n");
}

void FtpSession::Abandon() {
    if (phase_ == FtpPhase::Ready) return;
    phase_ = FtpPhase::Aborting;
    transport_.CloseData();
    transport_.CloseControl();
    connected_ = false;
    replies_.Clear();
    EndTransfer();
    step_ = Step::None;
    statusCode_ = 426;
    requestError_ = 426;
    errorMessage_ = "426 Timeout";
    phase_ = FtpPhase::Ready;
}

bool FtpSession::RetryPassiveAfterTimeout() {
    if (phase_ != FtpPhase::WaitingResponse || step_ != Step::Stor || !connected_ || passive_ || triedPassive_ ||
        !storStarted_ || dataOpen_)
        return false;
    triedPassive_ = true;
    transport_.CloseData();
    step_ = Step::Abor;
    Send("ABOR");
    return true;
}

void FtpSession::Succeed() {
    step_ = Step::None;
    phase_ = FtpPhase::Ready;
}

void FtpSession::Fail(int code, const std::string& message) {
    // 0 would read as success.
    if (requestError_ == 0) requestError_ = code != 0 ? code : 500;
    if (errorMessage_.empty()) errorMessage_ = Hidden(message);
    if (step_ == Step::Stor || step_ == Step::Port || step_ == Step::Pasv || step_ == Step::Type ||
        step_ == Step::Abor) {
        transport_.CloseData();
        EndTransfer();
    }
    step_ = Step::None;
    phase_ = FtpPhase::Ready;
}

// A failed Connect leaves no connection, so the next attempt can start afresh.
void FtpSession::FailConnect(int code, const std::string& message) {
    transport_.CloseControl();
    connected_ = false;
    replies_.Clear();
    Fail(code, message);
}

std::string FtpSession::Hidden(const std::string& text) const {
    if (password.empty()) return text;
    std::string out = text;
    for (size_t at = out.find(password); at != std::string::npos; at = out.find(password, at + 3))
        out.replace(at, password.size(), "***");
    return out;
}

void FtpSession::OnResolved(int error, uint32_t address) {
    if (step_ != Step::Lookup) return;
    if (error != 0) return FailConnect(500, "500 " + SocketErrorDetail(error));
    serverAddress_ = address;
    step_ = Step::Connect;
    phase_ = FtpPhase::WaitingBanner;
    transport_.ConnectControl(address, port_);
}

void FtpSession::OnControlConnected(int error) {
    if (step_ != Step::Connect) return;
    if (error != 0) return FailConnect(500, "500 " + SocketErrorDetail(error));
    connected_ = true;
    step_ = Step::Banner;
}

void FtpSession::OnControlData(const char* bytes, size_t count) {
    replies_.Feed(bytes, count);
    std::string line;
    while (replies_.NextLine(line)) {
        replyLine_ = line;
        lastResponse_ = Hidden(line);
        // A reply line is no progress: a server that sends continuation lines for ever still
        // times out.
        int code = 0;
        switch (ClassifyReplyLine(line, code)) {
            case ReplyLine::Continues: break;
            case ReplyLine::Completes:
                statusCode_ = code;
                OnReply(code);
                break;
            case ReplyLine::Malformed:
                statusCode_ = 500;
                OnProtocolError();
                break;
        }
    }
}

// A line where a reply code belongs that is not one: the request ends with 500 and the line,
// as any refusal ends it, but never turns into a fallback or a retry.
void FtpSession::OnProtocolError() {
    switch (step_) {
        case Step::None: return;
        case Step::Banner:
        case Step::Auth:
        case Step::Secure:
        case Step::User:
        case Step::Pass:
        case Step::Pbsz:
        case Step::Prot: return FailConnect(500, lastResponse_);
        case Step::Quit: return OnReply(500);
        default: return Fail(500, lastResponse_);
    }
}

void FtpSession::OnReply(int code) {
    switch (step_) {
        case Step::Banner:
        case Step::User:
        case Step::Pass: return ReplyToLogin(code);
        case Step::Auth:
        case Step::Pbsz:
        case Step::Prot: return ReplyToProtection(code);
        case Step::Mkd:
            if (code == 250 || code == 257) return Succeed();
            return Fail(code, lastResponse_);
        case Step::Type: return ReplyToType(code);
        case Step::Port:
            if (code == 200 || code == 227) return SendStor();
            if (!triedPassive_) return FallBackToPassive();
            return Fail(code, lastResponse_);
        case Step::Pasv: return ReplyToPasv(code);
        case Step::Stor: return ReplyToStor(code);
        case Step::Abor: return ReplyToAbor(code);
        case Step::Quit: return ReplyToQuit(code);
        default: return;  // a reply nobody waits for
    }
}

void FtpSession::ReplyToLogin(int code) {
    switch (step_) {
        case Step::Banner:
            if (code != 220) return FailConnect(code, lastResponse_);
            if (userName.empty()) return FailConnect(500, "UserName empty");
            phase_ = FtpPhase::WaitingResponse;
            if (!secure) return SendUser();
            step_ = Step::Auth;
            return Send("AUTH TLS");
        case Step::User:
            if (code == 230) return LoggedIn();
            if (code != 331) return FailConnect(code, lastResponse_);
            if (password.empty()) return FailConnect(500, "Password empty");
            step_ = Step::Pass;
            return Send("PASS " + password);
        default:
            if (code == 230) return LoggedIn();
            return FailConnect(code, lastResponse_);
    }
}

void FtpSession::SendUser() {
    step_ = Step::User;
    Send("USER " + userName);
}

void FtpSession::LoggedIn() {
    if (!secure) return Succeed();
    step_ = Step::Pbsz;
    Send("PBSZ 0");
}

void FtpSession::ReplyToProtection(int code) {
    switch (step_) {
        case Step::Auth:
            // Anything but consent: the login is not sent in clear instead. Only a permanent
            // answer says that the server has no TLS; "421 too many users" may pass.
            if (code != 234) {
                if (code >= 500) securityFailure_ = FtpSecurityFailure::Refused;
                return FailConnect(code, lastResponse_);
            }
            step_ = Step::Secure;
            replies_.Clear();
            return transport_.StartControlTls(host_);
        case Step::Pbsz:
            if (code != 200) return FailConnect(code, lastResponse_);
            step_ = Step::Prot;
            return Send("PROT P");
        default:
            if (code != 200) return FailConnect(code, lastResponse_);
            dataProtected_ = true;
            transport_.ProtectData(true);
            return Succeed();
    }
}

void FtpSession::OnControlSecured(long status) {
    if (step_ != Step::Secure) return;
    if (status != 0) return FailConnect(500, "500 TLS handshake failed");
    const CertificateVerdict verdict = transport_.ControlCertificate(host_);
    serverFingerprint_ = verdict.fingerprint;
    if (!CertificateAccepted(verdict.trusted, verdict.fingerprint, certificatePin)) {
        securityFailure_ = FtpSecurityFailure::Untrusted;
        return FailConnect(500, "500 Server certificate not trusted");
    }
    SendUser();
}

void FtpSession::ReplyToQuit(int code) {
    transport_.CloseControl();
    connected_ = false;
    replies_.Clear();
    if (code == 221) return Succeed();
    Fail(code, lastResponse_);
}

void FtpSession::OnControlClosed(int error) {
    connected_ = false;
    replies_.Clear();
    transport_.CloseControl();
    if (phase_ == FtpPhase::Ready) return;
    if (step_ == Step::Quit) return Succeed();
    // Waiting longer could not bring a reply: the request ends now, not at its timeout.
    transport_.CloseData();
    EndTransfer();
    Fail(500, "500 Control connection closed. " + SocketErrorDetail(error));
}

}  // namespace vt
