#include "net/url.h"

#include <cctype>

namespace engine {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

uint16_t DefaultPort(const std::string& scheme) { return scheme == "https" ? 443 : 80; }

bool ParsePort(std::string_view text, uint16_t* port) {
    if (text.empty() || text.size() > 5) return false;
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value == 0 || value > 65535) return false;
    *port = static_cast<uint16_t>(value);
    return true;
}

bool ValidHostName(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    for (char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u >= 0x7F || c == '/' || c == '?' || c == '#' || c == '@' || c == '[' || c == ']')
            return false;
    }
    return true;
}

bool ValidIpv6(std::string_view host) {
    if (host.size() < 2) return false;
    for (char c : host)
        if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.' && c != '%') return false;
    return host.find(':') != std::string_view::npos;
}

}  // namespace

bool IsNetworkUrl(std::string_view path) {
    const std::string head = Lower(path.substr(0, 8));
    return head.rfind("http://", 0) == 0 || head.rfind("https://", 0) == 0;
}

bool ParseUrl(std::string_view text, Url& out) {
    const size_t colon = text.find("://");
    if (colon == std::string_view::npos) return false;
    Url url;
    url.scheme = Lower(text.substr(0, colon));
    if (url.scheme != "http" && url.scheme != "https") return false;
    std::string_view rest = text.substr(colon + 3);
    const size_t pathStart = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, pathStart);
    std::string_view target = pathStart == std::string_view::npos ? std::string_view() : rest.substr(pathStart);
    if (const size_t hash = target.find('#'); hash != std::string_view::npos) target = target.substr(0, hash);
    for (char c : target)
        if (static_cast<unsigned char>(c) <= ' ') return false;  // would break the request line
    url.target = target.empty() ? "/" : (target[0] == '/' ? std::string(target) : "/" + std::string(target));

    if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
        url.userInfo = std::string(authority.substr(0, at));
        authority = authority.substr(at + 1);
    }
    std::string_view portText;
    if (!authority.empty() && authority[0] == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) return false;
        url.host = std::string(authority.substr(1, close - 1));
        if (!ValidIpv6(url.host)) return false;
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after[0] != ':') return false;
            portText = after.substr(1);
            if (portText.empty()) portText = {};
        }
    } else {
        const size_t portColon = authority.rfind(':');
        url.host = std::string(authority.substr(0, portColon));
        if (portColon != std::string_view::npos) portText = authority.substr(portColon + 1);
        if (!ValidHostName(url.host)) return false;
    }
    url.port = DefaultPort(url.scheme);
    if (!portText.empty() && !ParsePort(portText, &url.port)) return false;
    out = std::move(url);
    return true;
}

bool ResolveLocation(const Url& base, std::string_view location, Url& out) {
    while (!location.empty() && (location.back() == ' ' || location.back() == '\t')) location.remove_suffix(1);
    if (location.empty()) return false;
    if (location.find("://") != std::string_view::npos) return ParseUrl(location, out);
    if (location.rfind("//", 0) == 0) return ParseUrl(base.scheme + ":" + std::string(location), out);
    Url url = base;
    url.userInfo.clear();  // credentials are not handed on
    if (location[0] == '/') {
        url.target = std::string(location);
    } else {
        const size_t slash = base.target.rfind('/', base.target.find('?'));
        url.target = base.target.substr(0, slash == std::string::npos ? 0 : slash + 1) + std::string(location);
        if (url.target.empty() || url.target[0] != '/') url.target = "/" + url.target;
    }
    for (char c : url.target)
        if (static_cast<unsigned char>(c) <= ' ') return false;
    out = std::move(url);
    return true;
}

std::string HostHeader(const Url& url) {
    std::string host = url.host.find(':') != std::string::npos ? "[" + url.host + "]" : url.host;
    if (url.port != DefaultPort(url.scheme)) host += ":" + std::to_string(url.port);
    return host;
}

}  // namespace engine
