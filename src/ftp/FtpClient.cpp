#include "ftp/FtpClient.h"

#include <algorithm>

#include "ftp/WinsockTransport.h"
#include "win/MessagePump.h"
#include "win/Text.h"

namespace vt {

TFtpClient::TFtpClient()
    : transport_(std::make_unique<WinsockTransport>()), session_(std::make_unique<FtpSession>(*transport_)) {
    transport_->Attach(session_.get());
}

TFtpClient::~TFtpClient() {
    transport_->Attach(nullptr);
    session_.reset();
}

std::wstring TFtpClient::LastResponse() const { return FromAnsi(session_->LastResponse()); }
std::wstring TFtpClient::ErrorMessage() const { return FromAnsi(session_->ErrorMessage()); }

void TFtpClient::TakeSettings() {
    session_->hostName = ToAnsi(HostName);
    session_->userName = ToAnsi(UserName);
    session_->password = ToAnsi(PassWord);
    session_->hostFileName = ToAnsi(HostFileName);
    session_->localFileName = LocalFileName;
    session_->binary = Binary;
    session_->secure = Secure;
    session_->certificatePin = ToAnsi(CertificatePin);
}

bool TFtpClient::Connect() {
    TakeSettings();
    return session_->StartConnect() && Wait();
}

bool TFtpClient::Mkd() {
    TakeSettings();
    return session_->StartMkd() && Wait();
}

bool TFtpClient::Put() {
    TakeSettings();
    return session_->StartPut() && Wait();
}

bool TFtpClient::Quit() {
    TakeSettings();
    return session_->StartQuit() && Wait();
}

// Runs the message loop until the request has ended; gives up after Timeout seconds without
// a block sent (once more for a passive retry), or at once when the program is ending.
bool TFtpClient::Wait() {
    const unsigned request = session_->Request();
    const ULONGLONG limit = static_cast<ULONGLONG>(std::max(Timeout, 0)) * 1000;
    ULONGLONG deadline = GetTickCount64() + limit;
    unsigned progress = session_->Progress();
    while (session_->Phase() != FtpPhase::Ready) {
        const bool running = ProcessMessages();
        if (session_->Phase() == FtpPhase::Ready) break;
        const ULONGLONG now = GetTickCount64();
        if (session_->Progress() != progress) {
            progress = session_->Progress();
            deadline = now + limit;
        }
        if (running && limit > 0 && now >= deadline && session_->RetryPassiveAfterTimeout()) {
            deadline = now + limit;
            continue;
        }
        if (!running || (limit > 0 && now >= deadline)) {
            session_->Abandon();
            return false;
        }
        const DWORD wait = limit > 0 ? static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 100)) : 100;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
    // A Quit made while this request waited has ended it.
    return session_->Request() == request && session_->RequestError() == 0;
}

}  // namespace vt
