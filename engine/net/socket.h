#pragma once
// The socket loop over the operating system's calls (socket_os_posix.cpp
// for native builds, socket_os_win.cpp for Winsock). Every wait is cut into short
// slices so that a cancel request is noticed within kCancelSliceMs; the name lookup,
// which cannot be interrupted, is left behind on its own thread (resolver.h).
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "net/net_status.h"

namespace engine {

class Connection {
public:
    virtual ~Connection() = default;
    // Sends all bytes before the deadline.
    virtual NetStatus SendAll(const char* data, size_t size, Clock::time_point deadline,
                              const std::atomic<bool>& cancel) = 0;
    // Waits at most waitMs for bytes; kOk with *got > 0, kTimedOut when none came,
    // kClosed when the server closed the connection.
    virtual NetStatus Receive(void* buffer, size_t size, int waitMs, size_t* got) = 0;
};

// Tries every address of host (the families interleaved, each attempt a share of the time
// left) until one accepts, the deadline passes or cancel is set. kTimedOut once the
// deadline has passed, kFailed when every address refused.
NetStatus Connect(const std::string& host, uint16_t port, Clock::time_point deadline,
                  const std::atomic<bool>& cancel, std::unique_ptr<Connection>* out);

}  // namespace engine
