#include "ftp/FtpSession.h"

#include <cstdio>
#include <cstring>

#include "ftp/SocketErrors.h"
#include "win/Text.h"

// The data side of a Put: the data connection, active or passive, STOR, the blocks of the file
// and the end of the transfer.

namespace vt {

// Blocks: one is outstanding at a time, as the protocol asks, but a 1460-byte segment per trip
// through the message loop caps an upload far below what even loopback carries. A 1 MiB block
// read at once, handed to a 4 MiB send buffer, keeps the network busy while the loop runs
// between two sends; every send that moves bytes counts as progress, so the timeout still
// measures silence, not the time a block takes on a slow line.

void FtpSession::ReplyToType(int code) {
    if (code != 200) return Fail(code, lastResponse_);
    if (passive_) {
        step_ = Step::Pasv;
        return Send("PASV");
    }
    OpenDataPort();
}

void FtpSession::ReplyToPasv(int code) {
    uint32_t address = 0;
    uint16_t port = 0;
    // The line as received: hiding the password could change its numbers.
    if (code != 227 || !ParsePassiveReply(replyLine_, address, port))
        return Fail(code == 227 ? 500 : code, lastResponse_);
    // Some servers announce an address they cannot be reached at; the control connection's
    // peer is the one that answers.
    (void)address;
    transport_.ConnectData(serverAddress_, port);
}

void FtpSession::ReplyToAbor(int code) {
    // First the STOR's own end (426), then the answer to ABOR.
    if (code >= 400 && code < 500) return;
    if (code >= 200 && code < 300) return FallBackToPassive();
    // ABOR not understood: the server still waits to be connected, so the session cannot go
    // on; it ends as the timeout would have ended it.
    Abandon();
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
    storStarted_ = dataOpen_ = dataReady_ = dataClosed_ = sending_ = endSent_ = finalReply_ = false;
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
            if (!dataOpen_ && !passive_ && transport_.AcceptPending()) DataLinked();
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
    DataLinked();
    TryStartSending();
}

// A protected connection carries the file only after its own handshake.
void FtpSession::DataLinked() {
    dataOpen_ = true;
    dataReady_ = !dataProtected_;
}

void FtpSession::OnDataSecured(long status) {
    if (step_ != Step::Port && step_ != Step::Stor && step_ != Step::Pasv) return;
    if (!dataOpen_ || dataClosed_) return;
    if (status != 0) return DataFailed(static_cast<int>(status));
    dataReady_ = true;
    TryStartSending();
}

void FtpSession::OnDataConnected(int error) {
    if (step_ != Step::Pasv) return;
    if (error != 0) return Fail(500, "500 " + SocketErrorDetail(error));
    // STOR goes at once: some servers begin the data connection's handshake only after it.
    DataLinked();
    SendStor();
}

void FtpSession::TryStartSending() {
    if (!storStarted_ || !dataReady_ || sending_ || dataClosed_) return;
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
    dataOpen_ = dataReady_ = false;
    TryFinishTransfer();
}

void FtpSession::OnDataClosed(int error) {
    if (step_ != Step::Stor && step_ != Step::Port && step_ != Step::Pasv) return;
    // Closed by the server before the whole file went out: not a complete copy.
    if (error == 0 && !endSent_) error = 10054;  // WSAECONNRESET
    if (error != 0) return DataFailed(error);
    transport_.CloseData();
    dataClosed_ = true;
    dataOpen_ = dataReady_ = false;
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

}  // namespace vt
