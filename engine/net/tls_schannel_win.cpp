// TLS through Schannel (SSPI): the handshake and the records go over the plain
// connection; the certificate is checked here against the system's store.
#define SECURITY_WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "net/tls.h"

namespace engine {
namespace {

constexpr ULONG kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR;
constexpr size_t kReadBytes = 16 * 1024 + 512;  // a whole record at most
// Handshake messages with long certificate chains are tens of KB.
constexpr size_t kMaxPendingBytes = 256 * 1024;
// A renegotiation, or the tickets TLS 1.3 sends after the handshake, inside a read.
constexpr auto kRenegotiationTime = std::chrono::seconds(5);
constexpr char kAlertRecord = 21;
// SECURITY_FLAG_IGNORE_CERT_CN_INVALID (wininet.h, not included for one constant).
constexpr DWORD kIgnoreNameMismatch = 0x00001000;

int MsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, kCancelSliceMs));
}

std::wstring Widen(const std::string& text) {
    std::wstring wide;
    for (unsigned char c : text) wide += static_cast<wchar_t>(c);  // host names are ASCII (IDNA)
    return wide;
}

// The host's address bytes when it is an IP address literal.
std::vector<unsigned char> AddressBytes(const std::string& host) {
    unsigned char bytes[16];
    if (inet_pton(AF_INET, host.c_str(), bytes) == 1) return {bytes, bytes + 4};
    if (inet_pton(AF_INET6, host.c_str(), bytes) == 1) return {bytes, bytes + 16};
    return {};
}

// Whether the certificate's alternative names hold this IP address.
bool CertificateNamesAddress(PCCERT_CONTEXT cert, const std::vector<unsigned char>& address) {
    const CERT_EXTENSION* extension =
        CertFindExtension(szOID_SUBJECT_ALT_NAME2, cert->pCertInfo->cExtension, cert->pCertInfo->rgExtension);
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!extension || !CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                                           extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == address.size() &&
                std::memcmp(entry.IPAddress.pbData, address.data(), address.size()) == 0;
    }
    LocalFree(names);
    return found;
}

class TlsConnection : public Connection {
public:
    TlsConnection(std::unique_ptr<Connection> raw, const std::string& host)
        : raw_(std::move(raw)), host_(host), wideHost_(Widen(host)) {}
    ~TlsConnection() override {
        if (haveContext_) DeleteSecurityContext(&context_);
        if (haveCredentials_) FreeCredentialsHandle(&credentials_);
    }

    NetStatus Start(Clock::time_point deadline, const std::atomic<bool>& cancel) {
        SCHANNEL_CRED settings{};
        settings.dwVersion = SCHANNEL_CRED_VERSION;
        // The system's protocol versions; the certificate is checked by us, below.
        settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
        if (AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                      &settings, nullptr, nullptr, &credentials_, nullptr) != SEC_E_OK)
            return NetStatus::kFailed;
        haveCredentials_ = true;
        return Negotiate(deadline, cancel);
    }

    NetStatus SendAll(const char* data, size_t size, Clock::time_point deadline,
                      const std::atomic<bool>& cancel) override {
        while (size > 0) {
            const size_t n = std::min<size_t>(size, sizes_.cbMaximumMessage);
            std::vector<char> record(sizes_.cbHeader + n + sizes_.cbTrailer);
            std::memcpy(record.data() + sizes_.cbHeader, data, n);
            SecBuffer parts[4] = {
                {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                {static_cast<ULONG>(n), SECBUFFER_DATA, record.data() + sizes_.cbHeader},
                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + n},
                {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc message{SECBUFFER_VERSION, 4, parts};
            if (EncryptMessage(&context_, 0, &message, 0) != SEC_E_OK) return NetStatus::kFailed;
            const size_t total = parts[0].cbBuffer + parts[1].cbBuffer + parts[2].cbBuffer;
            if (NetStatus sent = raw_->SendAll(record.data(), total, deadline, cancel); sent != NetStatus::kOk)
                return sent;
            data += n;
            size -= n;
        }
        return NetStatus::kOk;
    }

    NetStatus Receive(void* buffer, size_t size, int waitMs, size_t* got) override {
        *got = 0;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            if (plainAt_ < plain_.size()) {
                *got = std::min(size, plain_.size() - plainAt_);
                std::memcpy(buffer, plain_.data() + plainAt_, *got);
                plainAt_ += *got;
                return NetStatus::kOk;
            }
            if (closed_) return NetStatus::kClosed;
            if (!incoming_.empty()) {
                const NetStatus decrypted = DecryptRecord();
                if (decrypted == NetStatus::kOk) continue;
                if (decrypted != NetStatus::kTimedOut) return decrypted;  // kTimedOut: the record is not whole yet
            }
            // A server that closes in the middle of a record ends the stream like a dying one.
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            const NetStatus more = ReceiveMore(static_cast<int>(std::max<long long>(left, 0)));
            if (more != NetStatus::kOk) return more;
        }
    }

private:
    NetStatus ReceiveMore(int waitMs) {
        if (incoming_.size() > kMaxPendingBytes) return NetStatus::kFailed;
        char chunk[kReadBytes];
        size_t got = 0;
        const NetStatus status = raw_->Receive(chunk, sizeof chunk, waitMs, &got);
        if (status == NetStatus::kOk) incoming_.insert(incoming_.end(), chunk, chunk + got);
        return status;
    }

    // The handshake (or a renegotiation): tokens out, the server's answers in, until done.
    NetStatus Negotiate(Clock::time_point deadline, const std::atomic<bool>& cancel) {
        for (;;) {
            SecBuffer in[2] = {{static_cast<ULONG>(incoming_.size()), SECBUFFER_TOKEN, incoming_.data()},
                               {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc input{SECBUFFER_VERSION, 2, in};
            SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
            SecBufferDesc output{SECBUFFER_VERSION, 1, out};
            ULONG attributes = 0;
            const SECURITY_STATUS step = InitializeSecurityContextW(
                &credentials_, haveContext_ ? &context_ : nullptr, const_cast<wchar_t*>(wideHost_.c_str()),
                kContextFlags, 0, 0, haveContext_ ? &input : nullptr, 0, &context_, &output, &attributes, nullptr);
            const bool started = haveContext_;
            if (!haveContext_ && (step == SEC_I_CONTINUE_NEEDED || step == SEC_E_OK)) haveContext_ = true;
            if (out[0].pvBuffer) {
                const NetStatus sent =
                    out[0].cbBuffer > 0 ? raw_->SendAll(static_cast<const char*>(out[0].pvBuffer), out[0].cbBuffer,
                                                        deadline, cancel)
                                        : NetStatus::kOk;
                FreeContextBuffer(out[0].pvBuffer);
                if (sent != NetStatus::kOk) return sent;
            }
            if (step != SEC_E_INCOMPLETE_MESSAGE && started) {
                // What the step did not use belongs to the next message.
                if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer <= incoming_.size())
                    incoming_.erase(incoming_.begin(), incoming_.end() - in[1].cbBuffer);
                else
                    incoming_.clear();
            }
            if (step == SEC_E_OK) return Established() ? NetStatus::kOk : NetStatus::kFailed;
            if (step != SEC_I_CONTINUE_NEEDED && step != SEC_E_INCOMPLETE_MESSAGE) return NetStatus::kFailed;
            if (step == SEC_I_CONTINUE_NEEDED && !incoming_.empty()) continue;
            for (;;) {
                if (cancel) return NetStatus::kCancelled;
                if (Clock::now() >= deadline) return NetStatus::kTimedOut;
                const NetStatus more = ReceiveMore(MsUntil(deadline));
                if (more == NetStatus::kOk) break;
                if (more != NetStatus::kTimedOut) return NetStatus::kFailed;
            }
        }
    }

    bool Established() {
        return QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) == SEC_E_OK &&
               sizes_.cbMaximumMessage > 0 && CertificateTrusted();
    }

    // The chain ends in a root the system trusts, the dates hold, and it names the host.
    bool CertificateTrusted() {
        PCCERT_CONTEXT cert = nullptr;
        if (QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert) != SEC_E_OK || !cert)
            return false;
        LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
        CERT_CHAIN_PARA request{};
        request.cbSize = sizeof request;
        request.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
        request.RequestedUsage.Usage.cUsageIdentifier = 1;
        request.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
        PCCERT_CHAIN_CONTEXT chain = nullptr;
        bool trusted = CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &request, 0, nullptr, &chain);
        if (trusted) {
            // An address is looked for among the certificate's IP names below; the policy checks DNS names.
            const std::vector<unsigned char> address = AddressBytes(host_);
            SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
            ssl.cbSize = sizeof ssl;
            ssl.dwAuthType = AUTHTYPE_SERVER;
            ssl.fdwChecks = address.empty() ? 0 : kIgnoreNameMismatch;
            ssl.pwszServerName = const_cast<wchar_t*>(wideHost_.c_str());
            CERT_CHAIN_POLICY_PARA policy{};
            policy.cbSize = sizeof policy;
            policy.pvExtraPolicyPara = &ssl;
            CERT_CHAIN_POLICY_STATUS status{};
            status.cbSize = sizeof status;
            trusted = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) &&
                      status.dwError == 0 && (address.empty() || CertificateNamesAddress(cert, address));
            CertFreeCertificateChain(chain);
        }
        CertFreeCertificateContext(cert);
        return trusted;
    }

    // One record from `incoming_`: kOk when it was taken (its data, if any, now in
    // plain_), kTimedOut when it is not whole yet, kClosed at the server's close_notify.
    NetStatus DecryptRecord() {
        SecBuffer parts[4] = {{static_cast<ULONG>(incoming_.size()), SECBUFFER_DATA, incoming_.data()},
                              {0, SECBUFFER_EMPTY, nullptr},
                              {0, SECBUFFER_EMPTY, nullptr},
                              {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc message{SECBUFFER_VERSION, 4, parts};
        // Some Schannels hand a TLS 1.2 close_notify over as an empty record instead of
        // SEC_I_CONTEXT_EXPIRED; an alert (content type 21) after the handshake ends the
        // connection either way.
        const bool alert = incoming_[0] == kAlertRecord;
        const SECURITY_STATUS result = DecryptMessage(&context_, &message, 0, nullptr);
        if (result == SEC_E_INCOMPLETE_MESSAGE) return NetStatus::kTimedOut;
        if (result == SEC_I_CONTEXT_EXPIRED || (result == SEC_E_OK && alert)) {
            closed_ = true;
            return NetStatus::kClosed;
        }
        if (result != SEC_E_OK && result != SEC_I_RENEGOTIATE) return NetStatus::kFailed;
        plain_.erase(plain_.begin(), plain_.begin() + static_cast<long>(plainAt_));
        plainAt_ = 0;
        std::vector<char> extra;
        for (const SecBuffer& part : parts) {
            const char* bytes = static_cast<const char*>(part.pvBuffer);
            if (part.BufferType == SECBUFFER_DATA && bytes) plain_.insert(plain_.end(), bytes, bytes + part.cbBuffer);
            if (part.BufferType == SECBUFFER_EXTRA && bytes) extra.assign(bytes, bytes + part.cbBuffer);
        }
        incoming_ = std::move(extra);
        if (result == SEC_I_RENEGOTIATE) {
            const std::atomic<bool> never{false};
            return Negotiate(Clock::now() + kRenegotiationTime, never);
        }
        return NetStatus::kOk;
    }

    std::unique_ptr<Connection> raw_;
    std::string host_;
    std::wstring wideHost_;
    CredHandle credentials_{};
    CtxtHandle context_{};
    bool haveCredentials_ = false;
    bool haveContext_ = false;
    SecPkgContext_StreamSizes sizes_{};
    std::vector<char> incoming_;  // received, not yet decrypted
    std::vector<char> plain_;     // decrypted, handed out from plainAt_
    size_t plainAt_ = 0;
    bool closed_ = false;
};

}  // namespace

bool TlsAvailable() { return true; }

NetStatus StartTls(std::unique_ptr<Connection>& connection, const std::string& host, Clock::time_point deadline,
                   const std::atomic<bool>& cancel) {
    auto secured = std::make_unique<TlsConnection>(std::move(connection), host);
    const NetStatus status = secured->Start(deadline, cancel);
    if (status == NetStatus::kOk) connection = std::move(secured);
    return status;
}

}  // namespace engine
