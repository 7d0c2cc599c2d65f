#include "ftp/TlsChannel.h"

#include <bcrypt.h>
#include <schannel.h>
#include <wincrypt.h>

#include <algorithm>
#include <vector>

#include "ftp/CertificatePin.h"

namespace vt {

namespace {

constexpr DWORD kRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                           ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                           ISC_REQ_MANUAL_CRED_VALIDATION;

void TakeToken(SecBuffer& buffer, std::string& out) {
    if (buffer.pvBuffer && buffer.cbBuffer > 0) out.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
    if (buffer.pvBuffer) FreeContextBuffer(buffer.pvBuffer);
    buffer.pvBuffer = nullptr;
    buffer.cbBuffer = 0;
}

std::string Sha256Hex(const BYTE* bytes, DWORD count) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return "";
    uint8_t digest[32];
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
    ok = ok && BCryptHashData(hash, const_cast<BYTE*>(bytes), count, 0) == 0 &&
         BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
    if (hash) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok ? FingerprintHex(digest, sizeof digest) : "";
}

bool ChainTrusted(PCCERT_CONTEXT certificate, const std::wstring& host) {
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    char* usages[] = {serverAuth};
    CERT_CHAIN_PARA chainPara{sizeof chainPara};
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, 0, nullptr,
                                 &chain))
        return false;
    HTTPSPolicyCallbackData ssl{};
    ssl.cbStruct = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA policy{sizeof policy};
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{sizeof status};
    const bool ok = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) &&
                    status.dwError == 0;
    CertFreeCertificateChain(chain);
    return ok;
}

}  // namespace

TlsCredentials::~TlsCredentials() { Release(); }

long TlsCredentials::Acquire() {
    if (valid_) return SEC_E_OK;
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    // TLS 1.2 only: older versions are broken, and the resumption the data connections need
    // is what servers implement for 1.2.
    settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    // The certificate is judged by CheckServer, which can also accept a pinned one.
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry;
    const SECURITY_STATUS status =
        AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                  &settings, nullptr, nullptr, &handle_, &expiry);
    valid_ = status == SEC_E_OK;
    return status;
}

void TlsCredentials::Release() {
    if (valid_) FreeCredentialsHandle(&handle_);
    valid_ = false;
}

TlsChannel::TlsChannel(TlsCredentials& credentials, const std::wstring& target)
    : credentials_(credentials), target_(target), request_(kRequest) {}

TlsChannel::~TlsChannel() {
    if (hasContext_) DeleteSecurityContext(&context_);
}

TlsChannel::State TlsChannel::Fail(long status) {
    status_ = status != 0 ? status : SEC_E_INTERNAL_ERROR;
    state_ = State::Failed;
    return state_;
}

TlsChannel::State TlsChannel::Start(std::string& out) {
    if (const long status = credentials_.Acquire(); status != SEC_E_OK) return Fail(status);
    return Step(out);
}

// One or more turns of the handshake over what has arrived so far.
TlsChannel::State TlsChannel::Step(std::string& out) {
    for (;;) {
        SecBuffer inBuffers[2] = {{static_cast<unsigned long>(incoming_.size()), SECBUFFER_TOKEN, incoming_.data()},
                                  {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc in{SECBUFFER_VERSION, 2, inBuffers};
        SecBuffer outBuffers[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, outBuffers};
        unsigned long attributes = 0;
        const SECURITY_STATUS status = InitializeSecurityContextW(
            credentials_.Handle(), hasContext_ ? &context_ : nullptr, const_cast<wchar_t*>(target_.c_str()), request_,
            0, 0, hasContext_ ? &in : nullptr, 0, hasContext_ ? nullptr : &context_, &outDesc, &attributes, nullptr);
        if (!hasContext_ && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) hasContext_ = true;
        // An alert for the server goes out even on failure.
        TakeToken(outBuffers[0], out);
        if (status == SEC_E_INCOMPLETE_MESSAGE) return state_;
        // A server that asks for a certificate of ours gets none: the same input is taken again
        // with only the credentials we have (none), as a server that merely asks accepts.
        if (status == SEC_I_INCOMPLETE_CREDENTIALS && !(request_ & ISC_REQ_USE_SUPPLIED_CREDS)) {
            request_ |= ISC_REQ_USE_SUPPLIED_CREDS;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) return Fail(status);
        if (inBuffers[1].BufferType == SECBUFFER_EXTRA && inBuffers[1].cbBuffer > 0)
            incoming_.erase(0, incoming_.size() - inBuffers[1].cbBuffer);
        else if (hasContext_ && !incoming_.empty())
            incoming_.clear();
        if (status == SEC_E_OK) {
            if (QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK)
                return Fail(SEC_E_INTERNAL_ERROR);
            state_ = State::Open;
            return state_;
        }
        if (incoming_.empty()) return state_;
    }
}

TlsChannel::State TlsChannel::Receive(const char* bytes, size_t count, std::string& out, std::string& plain) {
    if (state_ == State::Failed || state_ == State::Closed) return state_;
    incoming_.append(bytes, count);
    if (state_ == State::Handshaking) {
        if (!hasContext_) return state_;
        if (Step(out) != State::Open) return state_;
    }
    return Decrypt(plain);
}

TlsChannel::State TlsChannel::Decrypt(std::string& plain) {
    while (!incoming_.empty() && state_ == State::Open) {
        SecBuffer buffers[4] = {{static_cast<unsigned long>(incoming_.size()), SECBUFFER_DATA, incoming_.data()},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = DecryptMessage(&context_, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) return state_;
        if (status == SEC_I_CONTEXT_EXPIRED) {
            state_ = State::Closed;
            return state_;
        }
        if (status != SEC_E_OK) return Fail(status);
        std::string extra;
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0)
                plain.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
            if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer > 0)
                extra.assign(incoming_.data() + incoming_.size() - buffer.cbBuffer, buffer.cbBuffer);
        }
        incoming_.swap(extra);
    }
    return state_;
}

bool TlsChannel::Encrypt(const char* bytes, size_t count, std::string& out) {
    if (state_ != State::Open) return false;
    std::vector<char> record(sizes_.cbHeader + sizes_.cbMaximumMessage + sizes_.cbTrailer);
    while (count > 0) {
        const unsigned long part = static_cast<unsigned long>(std::min<size_t>(count, sizes_.cbMaximumMessage));
        std::copy(bytes, bytes + part, record.data() + sizes_.cbHeader);
        SecBuffer buffers[4] = {{sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                                {part, SECBUFFER_DATA, record.data() + sizes_.cbHeader},
                                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + part},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        if (const SECURITY_STATUS status = EncryptMessage(&context_, 0, &desc, 0); status != SEC_E_OK) {
            Fail(status);
            return false;
        }
        out.append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        bytes += part;
        count -= part;
    }
    return true;
}

bool TlsChannel::CloseNotify(std::string& out) {
    if (state_ != State::Open && state_ != State::Closed) return false;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control[1] = {{sizeof type, SECBUFFER_TOKEN, &type}};
    SecBufferDesc controlDesc{SECBUFFER_VERSION, 1, control};
    if (ApplyControlToken(&context_, &controlDesc) != SEC_E_OK) return false;
    SecBuffer outBuffers[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc outDesc{SECBUFFER_VERSION, 1, outBuffers};
    unsigned long attributes = 0;
    const SECURITY_STATUS status =
        InitializeSecurityContextW(credentials_.Handle(), &context_, const_cast<wchar_t*>(target_.c_str()), kRequest,
                                   0, 0, nullptr, 0, nullptr, &outDesc, &attributes, nullptr);
    TakeToken(outBuffers[0], out);
    state_ = State::Closed;
    return status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED;
}

CertificateVerdict TlsChannel::CheckServer(const std::wstring& host) const {
    CertificateVerdict verdict;
    if (!hasContext_) return verdict;
    PCCERT_CONTEXT certificate = nullptr;
    if (QueryContextAttributesW(const_cast<CtxtHandle*>(&context_), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) !=
            SEC_E_OK ||
        !certificate)
        return verdict;
    verdict.fingerprint = Sha256Hex(certificate->pbCertEncoded, certificate->cbCertEncoded);
    verdict.trusted = ChainTrusted(certificate, host);
    CertFreeCertificateContext(certificate);
    return verdict;
}

}  // namespace vt
