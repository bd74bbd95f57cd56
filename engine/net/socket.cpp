// The socket loop over the operating system's calls (socket_os.h): every wait is cut
// into slices of at most kCancelSliceMs so that a cancel request or the deadline is seen.
#include "net/socket.h"

#include <algorithm>

#include "net/address_order.h"
#include "net/resolver.h"
#include "net/socket_os.h"

namespace engine {
namespace {

constexpr int kMinAttemptMs = 500;

int MsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left < kCancelSliceMs ? left : kCancelSliceMs);
}

class SocketConnection : public Connection {
public:
    explicit SocketConnection(os::SocketId socket) : socket_(socket) {}
    ~SocketConnection() override { os::CloseSocket(socket_); }

    NetStatus SendAll(const char* data, size_t size, Clock::time_point deadline,
                      const std::atomic<bool>& cancel) override {
        while (size > 0) {
            if (cancel) return NetStatus::kCancelled;
            if (Clock::now() >= deadline) return NetStatus::kTimedOut;
            const int ready = os::WaitReady(socket_, true, MsUntil(deadline));
            if (ready < 0) return NetStatus::kFailed;
            if (ready == 0) continue;
            size_t sent = 0;
            const os::Io io = os::Send(socket_, data, size, &sent);
            if (io == os::Io::kWouldBlock) continue;
            if (io != os::Io::kDone) return NetStatus::kFailed;
            data += sent;
            size -= sent;
        }
        return NetStatus::kOk;
    }

    NetStatus Receive(void* buffer, size_t size, int waitMs, size_t* got) override {
        *got = 0;
        const int ready = os::WaitReady(socket_, false, waitMs);
        if (ready < 0) return NetStatus::kFailed;
        if (ready == 0) return NetStatus::kTimedOut;
        switch (os::Receive(socket_, buffer, size, got)) {
        case os::Io::kDone: return NetStatus::kOk;
        case os::Io::kWouldBlock: return NetStatus::kTimedOut;
        case os::Io::kClosed: return NetStatus::kClosed;
        default: return NetStatus::kFailed;
        }
    }

private:
    os::SocketId socket_;
};

NetStatus ConnectOne(const os::Address& address, Clock::time_point deadline, const std::atomic<bool>& cancel,
                     os::SocketId* out) {
    os::SocketId socket = os::kNoSocket;
    const os::Io started = os::StartConnect(address, &socket);
    if (started == os::Io::kFailed) return NetStatus::kFailed;
    NetStatus status = started == os::Io::kDone ? NetStatus::kOk : NetStatus::kTimedOut;
    while (status == NetStatus::kTimedOut) {
        if (cancel) { status = NetStatus::kCancelled; break; }
        if (Clock::now() >= deadline) break;
        const int ready = os::WaitReady(socket, true, MsUntil(deadline));
        if (ready < 0) { status = NetStatus::kFailed; break; }
        if (ready == 0) continue;
        status = os::Connected(socket) ? NetStatus::kOk : NetStatus::kFailed;
    }
    if (status != NetStatus::kOk) os::CloseSocket(socket);
    else *out = socket;
    return status;
}

// One attempt's end: an equal share of what is left for the addresses still to try, at
// least kMinAttemptMs (a slow but live server needs some time), never past the deadline.
Clock::time_point AttemptDeadline(Clock::time_point deadline, size_t attemptsLeft) {
    const auto now = Clock::now();
    const auto share = std::max<Clock::duration>((deadline - now) / static_cast<int>(attemptsLeft),
                                                 std::chrono::milliseconds(kMinAttemptMs));
    return std::min(deadline, now + share);
}

}  // namespace

NetStatus Connect(const std::string& host, uint16_t port, Clock::time_point deadline,
                  const std::atomic<bool>& cancel, std::unique_ptr<Connection>* out) {
    if (!os::StartSockets()) return NetStatus::kFailed;
    std::vector<os::Address> addresses;
    if (NetStatus resolved = ResolveWithin(host, port, deadline, cancel, &addresses); resolved != NetStatus::kOk)
        return resolved;
    addresses = InterleaveFamilies(std::move(addresses));
    NetStatus status = NetStatus::kFailed;
    for (size_t i = 0; i < addresses.size(); ++i) {
        os::SocketId socket = os::kNoSocket;
        status = ConnectOne(addresses[i], AttemptDeadline(deadline, addresses.size() - i), cancel, &socket);
        if (status == NetStatus::kOk) {
            *out = std::make_unique<SocketConnection>(socket);
            break;
        }
        if (status == NetStatus::kCancelled) break;
        if (Clock::now() >= deadline) return NetStatus::kTimedOut;
    }
    return status;
}

}  // namespace engine
