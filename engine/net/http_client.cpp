#include "net/http_client.h"

#include "net/timeouts.h"
#include "net/tls.h"

namespace engine {
namespace {

std::string Base64(const std::string& text) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < text.size(); i += 3) {
        const uint32_t v = (static_cast<uint8_t>(text[i]) << 16) | (static_cast<uint8_t>(text[i + 1]) << 8) |
                           static_cast<uint8_t>(text[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) out += kDigits[(v >> shift) & 63];
    }
    if (i < text.size()) {
        uint32_t v = static_cast<uint8_t>(text[i]) << 16;
        if (i + 1 < text.size()) v |= static_cast<uint8_t>(text[i + 1]) << 8;
        out += kDigits[(v >> 18) & 63];
        out += kDigits[(v >> 12) & 63];
        out += i + 1 < text.size() ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

FMOD_RESULT ResultFor(NetStatus status) {
    switch (status) {
    case NetStatus::kOk: return FMOD_OK;
    case NetStatus::kTimedOut: return FMOD_ERR_HTTP_TIMEOUT;
    case NetStatus::kCancelled: return FMOD_ERR_NET_SOCKET_ERROR;
    case NetStatus::kClosed: return FMOD_ERR_HTTP;
    case NetStatus::kFailed: return FMOD_ERR_NET_SOCKET_ERROR;
    }
    return FMOD_ERR_NET_SOCKET_ERROR;
}

FMOD_RESULT ResultForStatus(int status) {
    if (status == 401 || status == 403) return FMOD_ERR_HTTP_ACCESS;
    if (status == 407) return FMOD_ERR_HTTP_PROXY_AUTH;
    if (status >= 500) return FMOD_ERR_HTTP_SERVER_ERROR;
    return FMOD_ERR_HTTP;
}

bool IsRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Reads until the head is complete; the connection stays in `out`.
FMOD_RESULT ReadHead(Connection& connection, Clock::time_point deadline, const std::atomic<bool>& cancel,
                     HttpAnswer& out) {
    std::vector<char> received;
    char buffer[4096];
    for (;;) {
        size_t headBytes = 0;
        switch (ParseResponseHead(received.data(), received.size(), out.head, &headBytes)) {
        case HeadParse::kComplete:
            out.bodyStart.assign(received.begin() + static_cast<long>(headBytes), received.end());
            return FMOD_OK;
        case HeadParse::kBad:
            return FMOD_ERR_HTTP;
        case HeadParse::kIncomplete:
            break;
        }
        if (cancel) return FMOD_ERR_NET_SOCKET_ERROR;
        if (Clock::now() >= deadline) return FMOD_ERR_HTTP_TIMEOUT;
        size_t got = 0;
        // Never more than the head can hold, so a flood is refused without buffering it.
        const size_t room = kMaxHeadBytes - received.size();
        const NetStatus status = connection.Receive(buffer, room < sizeof buffer ? room : sizeof buffer,
                                                    kCancelSliceMs, &got);
        if (status == NetStatus::kTimedOut) continue;
        if (status != NetStatus::kOk) return status == NetStatus::kClosed ? FMOD_ERR_HTTP : ResultFor(status);
        received.insert(received.end(), buffer, buffer + got);
    }
}

}  // namespace

std::string BuildRequest(const Url& url, bool http10) {
    std::string request = "GET " + url.target + (http10 ? " HTTP/1.0\r\n" : " HTTP/1.1\r\n");
    request += "Host: " + HostHeader(url) + "\r\n";
    request += "User-Agent: Quendra/1.0\r\n";
    request += "Accept: */*\r\n";
    request += "Icy-MetaData: 1\r\n";
    if (!url.userInfo.empty()) request += "Authorization: Basic " + Base64(url.userInfo) + "\r\n";
    request += "Connection: close\r\n\r\n";
    return request;
}

FMOD_RESULT RequestStream(const Url& start, Clock::time_point deadline, const std::atomic<bool>& cancel,
                          HttpAnswer& out) {
    Url url = start;
    bool http10 = false;
    int redirects = 0;
    for (;;) {
        // Without TLS an https address fails here rather than talking plain text to port 443.
        const bool secure = url.scheme == "https";
        if (url.scheme != "http" && !(secure && TlsAvailable())) return FMOD_ERR_NET_URL;
        HttpAnswer answer;
        NetStatus connected = Connect(url.host, url.port, deadline, cancel, &answer.connection);
        if (connected == NetStatus::kOk && secure) connected = StartTls(answer.connection, url.host, deadline, cancel);
        if (connected != NetStatus::kOk)
            return connected == NetStatus::kTimedOut ? FMOD_ERR_HTTP_TIMEOUT : FMOD_ERR_NET_CONNECT;
        const std::string request = BuildRequest(url, http10);
        const NetStatus sent = answer.connection->SendAll(request.data(), request.size(), deadline, cancel);
        if (sent != NetStatus::kOk) return ResultFor(sent);
        if (FMOD_RESULT r = ReadHead(*answer.connection, deadline, cancel, answer); r != FMOD_OK) return r;
        const int status = answer.head.status;
        if (status == 200) {
            out = std::move(answer);
            return FMOD_OK;
        }
        if (status == 505 && !http10) {
            http10 = true;  // an old server: the same address once more, as HTTP/1.0
            continue;
        }
        if (!IsRedirect(status)) return ResultForStatus(status);
        const std::string* location = FindHeader(answer.head, "location");
        Url next;
        if (!location || !ResolveLocation(url, *location, next)) return FMOD_ERR_HTTP;
        if (++redirects > kMaxRedirects) return FMOD_ERR_HTTP;
        url = std::move(next);
    }
}

}  // namespace engine
