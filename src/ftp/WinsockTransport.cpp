#include "ftp/WinsockTransport.h"

#include <ws2tcpip.h>

#include <cstring>

#include "win/Text.h"

namespace vt {

namespace {

constexpr UINT kLookupMessage = WM_APP + 1;
constexpr UINT kControlMessage = WM_APP + 2;
constexpr UINT kListenMessage = WM_APP + 3;
constexpr UINT kDataMessage = WM_APP + 4;
constexpr UINT kContinueMessage = WM_APP + 5;
constexpr UINT kNumericLookupMessage = WM_APP + 6;
constexpr UINT kDataTlsFailedMessage = WM_APP + 7;
constexpr wchar_t kClassName[] = L"VaultickFtpSockets";

void CloseSocket(SOCKET& socket) {
    if (socket == INVALID_SOCKET) return;
    closesocket(socket);
    socket = INVALID_SOCKET;
}

// A send buffer that holds a few blocks keeps the network busy while the message loop runs
// between two blocks.
void WidenSendBuffer(SOCKET socket) {
    int size = 4 * 1024 * 1024;
    setsockopt(socket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&size), sizeof size);
}

}  // namespace

WinsockTransport::WinsockTransport() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{sizeof windowClass};
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass = WNDCLASSEXW{sizeof windowClass};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClassName;
        RegisterClassExW(&windowClass);
    }
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinsockTransport::~WinsockTransport() {
    CloseData();
    CloseControl();
    if (window_) DestroyWindow(window_);
    if (started_) WSACleanup();
}

LRESULT CALLBACK WinsockTransport::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<WinsockTransport*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message >= kLookupMessage && message <= kDataTlsFailedMessage) {
        // No exception may leave a window procedure.
        try {
            self->OnMessage(message, wParam, lParam);
        } catch (...) {
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void WinsockTransport::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!session_) return;
    const int event = WSAGETSELECTEVENT(lParam);
    const int error = WSAGETSELECTERROR(lParam);
    switch (message) {
        case kLookupMessage: {
            if (reinterpret_cast<HANDLE>(wParam) != lookup_) return;
            lookup_ = nullptr;
            const int lookupError = WSAGETASYNCERROR(lParam);
            const auto* host = reinterpret_cast<const hostent*>(hostBuffer_);
            if (lookupError != 0 || host->h_addrtype != AF_INET || !host->h_addr_list[0])
                return session_->OnResolved(lookupError != 0 ? lookupError : WSANO_DATA, 0);
            uint32_t address;
            std::memcpy(&address, host->h_addr_list[0], 4);
            return session_->OnResolved(0, address);
        }
        case kNumericLookupMessage: return session_->OnResolved(0, static_cast<uint32_t>(lParam));
        case kControlMessage: return OnControlEvent(static_cast<SOCKET>(wParam), event, error);
        case kListenMessage: return OnListenEvent(static_cast<SOCKET>(wParam), event, error);
        case kDataMessage: return OnDataEvent(static_cast<SOCKET>(wParam), event, error);
        case kDataTlsFailedMessage:
            if (static_cast<unsigned>(wParam) == dataGeneration_ && data_ != INVALID_SOCKET)
                session_->OnDataSecured(static_cast<long>(lParam));
            return;
        case kContinueMessage:
            if (static_cast<unsigned>(wParam) == dataGeneration_ && data_ != INVALID_SOCKET)
                session_->OnDataWritable();
            return;
    }
}

void WinsockTransport::Resolve(const std::string& host) {
    const unsigned long numeric = inet_addr(host.c_str());
    if (numeric != INADDR_NONE) {
        PostMessageW(window_, kNumericLookupMessage, 0, static_cast<LPARAM>(numeric));
        return;
    }
    lookup_ = WSAAsyncGetHostByName(window_, kLookupMessage, host.c_str(), hostBuffer_, sizeof hostBuffer_);
    if (!lookup_) {
        const int error = WSAGetLastError();
        PostMessageW(window_, kLookupMessage, 0, WSAMAKEASYNCREPLY(0, error));
        lookup_ = nullptr;
    }
}

void WinsockTransport::ConnectControl(uint32_t address, uint16_t port) {
    CloseSocket(control_);
    controlTls_.reset();
    credentials_.Release();
    control_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (control_ == INVALID_SOCKET) {
        session_->OnControlConnected(WSAGetLastError());
        return;
    }
    WSAAsyncSelect(control_, window_, kControlMessage, FD_CONNECT | FD_READ | FD_CLOSE);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = INADDR_ANY;
    bind(control_, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = address;
    remote.sin_port = htons(port);
    if (connect(control_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == SOCKET_ERROR) {
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK) {
            CloseSocket(control_);
            session_->OnControlConnected(error);
        }
    }
}

bool WinsockTransport::SendControl(const std::string& bytes) {
    // Commands are short; the system's buffer takes them whole unless the connection is broken,
    // which the close event then reports. A server that reads nothing leaves its buffer full,
    // and the request then ends by its timeout rather than with the window waiting here.
    if (control_ == INVALID_SOCKET) return false;
    if (controlTls_) {
        std::string sealed;
        if (!controlTls_->Encrypt(bytes.data(), bytes.size(), sealed)) return false;
        return send(control_, sealed.data(), static_cast<int>(sealed.size()), 0) == static_cast<int>(sealed.size());
    }
    return send(control_, bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
}

void WinsockTransport::CloseControl() {
    if (lookup_) {
        WSACancelAsyncRequest(lookup_);
        lookup_ = nullptr;
    }
    CloseSocket(control_);
    controlTls_.reset();
}

uint32_t WinsockTransport::ControlLocalAddress() {
    sockaddr_in local{};
    int size = sizeof local;
    if (control_ == INVALID_SOCKET || getsockname(control_, reinterpret_cast<sockaddr*>(&local), &size) != 0)
        return 0;
    return local.sin_addr.s_addr;
}

void WinsockTransport::DrainControl() {
    char buffer[4096];
    for (;;) {
        if (control_ == INVALID_SOCKET) return;
        const int n = recv(control_, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        if (controlTls_) ReceiveControlTls(buffer, n);
        else session_->OnControlData(buffer, static_cast<size_t>(n));
    }
}

void WinsockTransport::StartControlTls(const std::string& host) {
    tlsTarget_ = FromAnsi(host);
    controlFingerprint_.clear();
    controlTls_ = std::make_unique<TlsChannel>(credentials_, tlsTarget_);
    std::string hello;
    if (controlTls_->Start(hello) == TlsChannel::State::Failed) {
        const long status = controlTls_->Status();
        controlTls_.reset();
        return session_->OnControlSecured(status);
    }
    send(control_, hello.data(), static_cast<int>(hello.size()), 0);
}

void WinsockTransport::ReceiveControlTls(const char* bytes, int count) {
    const bool handshaking = controlTls_->GetState() == TlsChannel::State::Handshaking;
    std::string reply, plain;
    const TlsChannel::State state = controlTls_->Receive(bytes, static_cast<size_t>(count), reply, plain);
    if (!reply.empty()) send(control_, reply.data(), static_cast<int>(reply.size()), 0);
    if (state == TlsChannel::State::Failed) {
        const long status = controlTls_->Status();
        // Nothing more can be read on this connection.
        CloseSocket(control_);
        controlTls_.reset();
        if (handshaking) return session_->OnControlSecured(status);
        return session_->OnControlClosed(WSAECONNABORTED);
    }
    if (handshaking && state != TlsChannel::State::Handshaking) session_->OnControlSecured(0);
    if (!plain.empty() && control_ != INVALID_SOCKET) session_->OnControlData(plain.data(), plain.size());
}

CertificateVerdict WinsockTransport::ControlCertificate(const std::string& host) {
    if (!controlTls_) return {};
    CertificateVerdict verdict = controlTls_->CheckServer(FromAnsi(host));
    controlFingerprint_ = verdict.fingerprint;
    return verdict;
}

void WinsockTransport::OnControlEvent(SOCKET socket, int event, int error) {
    if (socket != control_) return;  // an event of a connection already closed
    switch (event) {
        case FD_CONNECT:
            if (error != 0) CloseSocket(control_);
            session_->OnControlConnected(error);
            break;
        case FD_READ: DrainControl(); break;
        case FD_CLOSE:
            DrainControl();
            if (socket == control_) session_->OnControlClosed(error);
            break;
    }
}

int WinsockTransport::Listen(uint16_t& port) {
    CloseData();
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener_ == INVALID_SOCKET) return WSAGetLastError();
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = INADDR_ANY;
    int size = sizeof local;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || listen(listener_, 1) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        const int error = WSAGetLastError();
        CloseSocket(listener_);
        return error;
    }
    WSAAsyncSelect(listener_, window_, kListenMessage, FD_ACCEPT);
    port = ntohs(local.sin_port);
    return 0;
}

void WinsockTransport::OnListenEvent(SOCKET socket, int event, int error) {
    if (socket != listener_ || event != FD_ACCEPT) return;
    if (error != 0) {
        CloseSocket(listener_);
        return session_->OnDataAccepted(error);
    }
    int acceptError = 0;
    const SOCKET accepted = AcceptFromServer(acceptError);
    if (accepted == INVALID_SOCKET) {
        // Nobody yet, or only somebody else: the wait for the server goes on.
        if (acceptError == WSAEWOULDBLOCK || acceptError == 0) return;
        CloseSocket(listener_);
        return session_->OnDataAccepted(acceptError);
    }
    TakeDataConnection(accepted);
    session_->OnDataAccepted(0);
}

bool WinsockTransport::AcceptPending() {
    if (listener_ == INVALID_SOCKET) return false;
    int error = 0;
    const SOCKET accepted = AcceptFromServer(error);
    // Nothing waiting, or an error that the listening socket's event reports.
    if (accepted == INVALID_SOCKET) return false;
    TakeDataConnection(accepted);
    return true;
}

// The listening port is open to anyone who finds it: only the server of the control connection
// may deliver the file's way out. Others are closed as they come. INVALID_SOCKET with error 0
// when only others were waiting.
SOCKET WinsockTransport::AcceptFromServer(int& error) {
    sockaddr_in server{};
    int serverSize = sizeof server;
    const bool serverKnown =
        control_ != INVALID_SOCKET && getpeername(control_, reinterpret_cast<sockaddr*>(&server), &serverSize) == 0;
    for (;;) {
        sockaddr_in peer{};
        int peerSize = sizeof peer;
        const SOCKET accepted = accept(listener_, reinterpret_cast<sockaddr*>(&peer), &peerSize);
        if (accepted == INVALID_SOCKET) {
            const int reason = WSAGetLastError();
            error = reason == WSAEWOULDBLOCK ? 0 : reason;
            return INVALID_SOCKET;
        }
        if (serverKnown && peer.sin_family == AF_INET && peer.sin_addr.s_addr == server.sin_addr.s_addr) return accepted;
        closesocket(accepted);
    }
}

// One data connection per transfer: the listening socket has done its work.
void WinsockTransport::TakeDataConnection(SOCKET accepted) {
    CloseSocket(listener_);
    data_ = accepted;
    ++dataGeneration_;
    WidenSendBuffer(data_);
    WSAAsyncSelect(data_, window_, kDataMessage, FD_READ | FD_WRITE | FD_CLOSE);
    StartDataTls();
}

// The client speaks first; the server may answer only after STOR, which goes meanwhile.
void WinsockTransport::StartDataTls() {
    dataTls_.reset();
    dataPending_.clear();
    dataEndWanted_ = false;
    if (!protectData_ || data_ == INVALID_SOCKET) return;
    dataTls_ = std::make_unique<TlsChannel>(credentials_, tlsTarget_);
    if (dataTls_->Start(dataPending_) == TlsChannel::State::Failed) {
        PostMessageW(window_, kDataTlsFailedMessage, dataGeneration_, dataTls_->Status());
        return;
    }
    if (const int error = FlushData(); error != 0)
        PostMessageW(window_, kDataTlsFailedMessage, dataGeneration_, error);
}

int WinsockTransport::FlushData() {
    while (!dataPending_.empty()) {
        const int n = send(data_, dataPending_.data(), static_cast<int>(dataPending_.size()), 0);
        if (n == SOCKET_ERROR) {
            const int error = WSAGetLastError();
            return error == WSAEWOULDBLOCK ? 0 : error;
        }
        dataPending_.erase(0, static_cast<size_t>(n));
    }
    if (dataEndWanted_ && shutdown(data_, SD_SEND) == 0) dataEnded_ = true;
    dataEndWanted_ = false;
    return 0;
}

void WinsockTransport::ReceiveData() {
    char buffer[16384];
    for (;;) {
        const int n = recv(data_, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        // An upload expects nothing back but the handshake and the server's close_notify.
        if (!dataTls_ || dataTls_->GetState() != TlsChannel::State::Handshaking) continue;
        std::string plain;
        const TlsChannel::State state = dataTls_->Receive(buffer, static_cast<size_t>(n), dataPending_, plain);
        const int error = FlushData();
        if (state == TlsChannel::State::Failed || error != 0)
            return session_->OnDataSecured(error != 0 ? error : dataTls_->Status());
        if (state == TlsChannel::State::Handshaking) continue;
        // Without a resumed session the data connection might be somebody else's server.
        if (controlFingerprint_.empty() || dataTls_->CheckServer(tlsTarget_).fingerprint != controlFingerprint_)
            return session_->OnDataSecured(SEC_E_WRONG_PRINCIPAL);
        return session_->OnDataSecured(0);
    }
}

void WinsockTransport::ConnectData(uint32_t address, uint16_t port) {
    CloseData();
    data_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (data_ == INVALID_SOCKET) return session_->OnDataConnected(WSAGetLastError());
    ++dataGeneration_;
    WidenSendBuffer(data_);
    WSAAsyncSelect(data_, window_, kDataMessage, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = address;
    remote.sin_port = htons(port);
    if (connect(data_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == SOCKET_ERROR) {
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK) {
            CloseSocket(data_);
            session_->OnDataConnected(error);
        }
    }
}

void WinsockTransport::OnDataEvent(SOCKET socket, int event, int error) {
    if (socket != data_) return;
    switch (event) {
        case FD_CONNECT:
            if (error != 0) CloseSocket(data_);
            session_->OnDataConnected(error);
            if (error == 0 && socket == data_) StartDataTls();
            break;
        case FD_WRITE:
            if (const int failed = FlushData(); failed != 0) return session_->OnDataClosed(failed);
            if (dataPending_.empty() && (!dataTls_ || dataTls_->GetState() == TlsChannel::State::Open))
                session_->OnDataWritable();
            break;
        case FD_READ: ReceiveData(); break;
        case FD_CLOSE: session_->OnDataClosed(error); break;
    }
}

int WinsockTransport::SendData(const char* bytes, int count) {
    if (data_ == INVALID_SOCKET) return -WSAENOTCONN;
    if (dataTls_) {
        // The records of the last block go first; FD_WRITE follows when they could not.
        if (const int error = FlushData(); error != 0) return -error;
        if (!dataPending_.empty()) return 0;
        if (!dataTls_->Encrypt(bytes, static_cast<size_t>(count), dataPending_)) return -WSAECONNABORTED;
        if (const int error = FlushData(); error != 0) return -error;
        return count;
    }
    const int n = send(data_, bytes, count, 0);
    if (n != SOCKET_ERROR) return n;
    const int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK ? 0 : -error;
}

void WinsockTransport::ContinueData() { PostMessageW(window_, kContinueMessage, dataGeneration_, 0); }

void WinsockTransport::ShutdownData() {
    if (data_ == INVALID_SOCKET) return;
    if (dataTls_) {
        // Some servers take an upload as cut short without the close_notify.
        dataTls_->CloseNotify(dataPending_);
        dataEndWanted_ = true;
        FlushData();
        return;
    }
    if (shutdown(data_, SD_SEND) == 0) dataEnded_ = true;
}

void WinsockTransport::CloseData() {
    CloseSocket(listener_);
    // A transfer cut short is reset, not closed: a plain close reads as the end of the file to
    // the server, which would keep the part sent under the backup's name as if it were whole.
    if (data_ != INVALID_SOCKET && !dataEnded_) {
        const linger reset{1, 0};
        setsockopt(data_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
    }
    CloseSocket(data_);
    dataEnded_ = false;
    dataTls_.reset();
    dataPending_.clear();
    dataEndWanted_ = false;
}

}  // namespace vt
