#include "ftp/FtpSession.h"

#include <cstdio>
#include <cstring>

#include "ftp/SocketErrors.h"
#include "win/Text.h"

namespace vt {

// Blocks: one is outstanding at a time, as the protocol asks, but a 1460-byte segment per trip
// through the message loop caps an upload far below what even loopback carries. A 1 MiB block
// read at once, handed to a 4 MiB send buffer, keeps the network busy while the loop runs
// between two sends; every send that moves bytes counts as progress, so the timeout still
// measures silence, not the time a block takes on a slow line.

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
    std::string host;
    SplitHostPort(hostName, host, port_);
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
    storStarted_ = dataOpen_ = dataClosed_ = sending_ = endSent_ = finalReply_ = false;
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
        case Step::User:
        case Step::Pass: return FailConnect(500, lastResponse_);
        case Step::Quit: return OnReply(500);
        default: return Fail(500, lastResponse_);
    }
}

void FtpSession::OnReply(int code) {
    switch (step_) {
        case Step::Banner:
            if (code != 220) return FailConnect(code, lastResponse_);
            if (userName.empty()) return FailConnect(500, "UserName empty");
            step_ = Step::User;
            phase_ = FtpPhase::WaitingResponse;
            return Send("USER " + userName);
        case Step::User:
            if (code == 230) return Succeed();
            if (code != 331) return FailConnect(code, lastResponse_);
            if (password.empty()) return FailConnect(500, "Password empty");
            step_ = Step::Pass;
            return Send("PASS " + password);
        case Step::Pass:
            if (code == 230) return Succeed();
            return FailConnect(code, lastResponse_);
        case Step::Mkd:
            if (code == 250 || code == 257) return Succeed();
            return Fail(code, lastResponse_);
        case Step::Type:
            if (code != 200) return Fail(code, lastResponse_);
            if (passive_) {
                step_ = Step::Pasv;
                return Send("PASV");
            }
            return OpenDataPort();
        case Step::Port:
            if (code == 200 || code == 227) return SendStor();
            if (!triedPassive_) return FallBackToPassive();
            return Fail(code, lastResponse_);
        case Step::Pasv: {
            uint32_t address = 0;
            uint16_t port = 0;
            // The line as received: hiding the password could change its numbers.
            if (code != 227 || !ParsePassiveReply(replyLine_, address, port))
                return Fail(code == 227 ? 500 : code, lastResponse_);
            // Some servers announce an address they cannot be reached at; the control
            // connection's peer is the one that answers.
            (void)address;
            return transport_.ConnectData(serverAddress_, port);
        }
        case Step::Stor: return ReplyToStor(code);
        case Step::Abor:
            // First the STOR's own end (426), then the answer to ABOR.
            if (code >= 400 && code < 500) return;
            if (code >= 200 && code < 300) return FallBackToPassive();
            // ABOR not understood: the server still waits to be connected, so the session
            // cannot go on; it ends as the timeout would have ended it.
            return Abandon();
        case Step::Quit:
            transport_.CloseControl();
            connected_ = false;
            replies_.Clear();
            if (code == 221) return Succeed();
            return Fail(code, lastResponse_);
        default: return;  // a reply nobody waits for
    }
}

void FtpSession::OpenDataPort() {
    uint16_t port = 0;
    if (const int error = transport_.Listen(port); error != 0) return Fail(500, "500 " + SocketErrorDetail(error));
    unsigned char local[4];
    const uint32_t address = transport_.ControlLocalAddress();
    std::memcpy(local, &address, 4);
    unsigned char server[4];
    std::memcpy(server, &serverAddress_, 4);
    char command[64];
    if (server[0] == 127 && server[1] == 0 && server[2] == 0 && server[3] == 1)
        std::snprintf(command, sizeof command, "PORT 127,0,0,1,%d,%d", port / 256, port % 256);
    else
        std::snprintf(command, sizeof command, "PORT %d,%d,%d,%d,%d,%d", local[0], local[1], local[2], local[3],
                      port / 256, port % 256);
    step_ = Step::Port;
    Send(command);
}

// Active mode could not be used: the same file once more through PASV, and passive mode from
// now on in this session.
void FtpSession::FallBackToPassive() {
    transport_.CloseData();
    storStarted_ = dataOpen_ = dataClosed_ = sending_ = endSent_ = finalReply_ = false;
    dataError_ = 0;
    blockSent_ = blockSize_ = 0;
    if (file_ != INVALID_HANDLE_VALUE) SetFilePointerEx(file_, LARGE_INTEGER{}, nullptr, FILE_BEGIN);
    triedPassive_ = true;
    passive_ = true;
    step_ = Step::Pasv;
    Send("PASV");
}

void FtpSession::SendStor() {
    if (!connected_) return Fail(500, "STOR/APPE: not connected");
    if (localFileName.empty()) return Fail(500, "LocalFileName empty");
    if (file_ == INVALID_HANDLE_VALUE) {
        file_ = CreateFileW(localFileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) return Fail(426, "426 Unable to open local file " + ToAnsi(localFileName));
    }
    step_ = Step::Stor;
    Send("STOR " + hostFileName);
}

void FtpSession::ReplyToStor(int code) {
    if (!storStarted_) {
        if (code == 150 || code == 125) {
            storStarted_ = true;
            // Most servers have connected by now; its event may still be on its way.
            if (!dataOpen_ && !passive_ && transport_.AcceptPending()) dataOpen_ = true;
            return TryStartSending();
        }
        if (code == 425 && !passive_ && !triedPassive_) return FallBackToPassive();
        return Fail(code, lastResponse_);
    }
    // Some servers try our port only after 150 and then report that they could not.
    if (code == 425 && !dataOpen_ && !passive_ && !triedPassive_) return FallBackToPassive();
    if (code != 226 && code != 250) return Fail(code, lastResponse_);
    finalReply_ = true;
    // Everything went out before the end was announced; the server has it all.
    if (!dataClosed_ && endSent_) {
        transport_.CloseData();
        dataClosed_ = true;
    }
    TryFinishTransfer();
}

void FtpSession::OnDataAccepted(int error) {
    if (step_ != Step::Port && step_ != Step::Stor) return;
    if (error != 0) return DataFailed(error);
    dataOpen_ = true;
    TryStartSending();
}

void FtpSession::OnDataConnected(int error) {
    if (step_ != Step::Pasv) return;
    if (error != 0) return Fail(500, "500 " + SocketErrorDetail(error));
    dataOpen_ = true;
    SendStor();
}

void FtpSession::TryStartSending() {
    if (!storStarted_ || !dataOpen_ || sending_ || dataClosed_) return;
    sending_ = true;
    block_.resize(kBlockSize);
    Pump();
}

void FtpSession::OnDataWritable() {
    if (step_ == Step::Stor && sending_ && !endSent_ && !dataClosed_) Pump();
}

// Sends what is left of the current block, reads the next one when the last has gone out.
void FtpSession::Pump() {
    if (blockSent_ == blockSize_ && !ReadNextBlock()) return;
    const int sent = transport_.SendData(block_.data() + blockSent_, static_cast<int>(blockSize_ - blockSent_));
    if (sent < 0) return DataFailed(-sent);
    // Nothing taken: the network is full, and OnDataWritable comes when it has room. A part
    // taken does not re-arm that event, so the rest goes out on the next turn like a new block.
    if (sent == 0) return;
    // Any bytes taken show the transfer moving, so a slow line is not cut off within a block.
    blockSent_ += static_cast<size_t>(sent);
    ++progress_;
    // A short block is normally the end of the file: see it now, not one turn of the loop later.
    if (blockSent_ == blockSize_ && blockSize_ < block_.size() && !ReadNextBlock()) return;
    transport_.ContinueData();
}

// False at the end of the file, which is then signalled to the server, or on a read error.
bool FtpSession::ReadNextBlock() {
    DWORD read = 0;
    if (!ReadFile(file_, block_.data(), static_cast<DWORD>(block_.size()), &read, nullptr)) {
        DataFailed(static_cast<int>(GetLastError()));
        return false;
    }
    if (read == 0) {
        endSent_ = true;
        transport_.ShutdownData();
        return false;
    }
    blockSize_ = read;
    blockSent_ = 0;
    return true;
}

// The transfer cannot succeed any more; the server's final reply is still awaited, so the
// next request does not take it for its own.
void FtpSession::DataFailed(int error) {
    if (dataError_ == 0) dataError_ = error;
    transport_.CloseData();
    dataClosed_ = true;
    dataOpen_ = false;
    TryFinishTransfer();
}

void FtpSession::OnDataClosed(int error) {
    if (step_ != Step::Stor && step_ != Step::Port && step_ != Step::Pasv) return;
    // Closed by the server before the whole file went out: not a complete copy.
    if (error == 0 && !endSent_) error = 10054;  // WSAECONNRESET
    if (error != 0) return DataFailed(error);
    transport_.CloseData();
    dataClosed_ = true;
    dataOpen_ = false;
    TryFinishTransfer();
}

void FtpSession::TryFinishTransfer() {
    if (!finalReply_ || !dataClosed_) return;
    EndTransfer();
    if (dataError_ != 0) return Fail(dataError_, "500 Data connection closed. " + SocketErrorDetail(dataError_));
    Succeed();
}

void FtpSession::EndTransfer() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    sending_ = false;
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
