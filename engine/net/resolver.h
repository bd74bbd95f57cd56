#pragma once
// Name lookup that the caller can walk away from: getaddrinfo cannot be interrupted,
// so it runs on a detached worker and the caller waits only as long as it may.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "net/net_status.h"
#include "net/socket_os.h"

namespace engine {

using ResolveFunction = std::vector<os::Address> (*)(const std::string& host, uint16_t port);

// Tests put a lookup of their own here; nullptr gives back the system's (os::Resolve).
void SetResolveFunction(ResolveFunction resolve);

// The addresses of host:port: kOk with a non-empty list, kFailed for an unknown name,
// kTimedOut / kCancelled when the deadline passes or cancel is set first. In the last two
// cases the lookup goes on alone and its answer is dropped.
NetStatus ResolveWithin(const std::string& host, uint16_t port, Clock::time_point deadline,
                        const std::atomic<bool>& cancel, std::vector<os::Address>* out);

}  // namespace engine
