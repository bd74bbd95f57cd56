#pragma once
// TLS for https:// streams through the system's own TLS (Schannel on Windows), so that
// certificates come from the system's store and its TLS updates reach the player. It sits
// behind the same Connection the HTTP client uses. Builds without it (native) keep plain
// http only.
#include <atomic>
#include <memory>
#include <string>

#include "net/socket.h"

namespace engine {

bool TlsAvailable();

// Replaces the connected `connection` by one that speaks TLS with `host` (sent as the
// server name). The server's certificate must chain to a trusted root of the system,
// name the host (or its IP address) and be within its dates. kFailed when the handshake
// or the check fails, kTimedOut past the deadline, kCancelled on a cancel.
NetStatus StartTls(std::unique_ptr<Connection>& connection, const std::string& host, Clock::time_point deadline,
                   const std::atomic<bool>& cancel);

}  // namespace engine
