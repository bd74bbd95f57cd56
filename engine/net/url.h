#pragma once
// Addresses of internet radio streams: scheme://[user[:password]@]host[:port][/path?query].
// Hosts are names, IPv4 literals or IPv6 literals in brackets.
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

struct Url {
    std::string scheme;    // lower case: "http" or "https"
    std::string userInfo;  // as written, without the '@'
    std::string host;      // without the brackets of an IPv6 literal
    uint16_t port = 0;
    std::string target;    // path and query, at least "/"
};

// Whether a path names a network stream (http:// or https://, any letter case).
bool IsNetworkUrl(std::string_view path);
bool ParseUrl(std::string_view text, Url& out);
// A redirect's Location: absolute, scheme-relative ("//host/...") or a path on the same server.
bool ResolveLocation(const Url& base, std::string_view location, Url& out);
// The Host header's value: the port only when it is not the scheme's default.
std::string HostHeader(const Url& url);

}  // namespace engine
