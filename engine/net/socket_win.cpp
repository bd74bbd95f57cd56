// Winsock for fmodex.dll; socket_posix.cpp is the native twin.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

#include "net/socket.h"

namespace engine {
namespace {

// Started once per process and left running: the library may be unloaded while
// another user of Winsock in the process still needs it.
bool WinsockReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        WSADATA data;
        ready = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ready;
}

int MsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left < kCancelSliceMs ? left : kCancelSliceMs);
}

// 1: ready, 0: not within waitMs, -1: error. For writing, a failed connect counts as ready.
int WaitFor(SOCKET s, bool write, int waitMs) {
    fd_set set, failed;
    FD_ZERO(&set);
    FD_ZERO(&failed);
    FD_SET(s, &set);
    FD_SET(s, &failed);
    timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
    const int r = select(0, write ? nullptr : &set, write ? &set : nullptr, &failed, &wait);
    if (r == SOCKET_ERROR) return -1;
    return r > 0 ? 1 : 0;
}

class WinsockConnection : public Connection {
public:
    explicit WinsockConnection(SOCKET s) : socket_(s) {}
    ~WinsockConnection() override { closesocket(socket_); }

    NetStatus SendAll(const char* data, size_t size, Clock::time_point deadline,
                      const std::atomic<bool>& cancel) override {
        while (size > 0) {
            if (cancel) return NetStatus::kCancelled;
            if (Clock::now() >= deadline) return NetStatus::kTimedOut;
            const int ready = WaitFor(socket_, true, MsUntil(deadline));
            if (ready < 0) return NetStatus::kFailed;
            if (ready == 0) continue;
            const int step = size > 65536 ? 65536 : static_cast<int>(size);
            const int sent = send(socket_, data, step, 0);
            if (sent == SOCKET_ERROR) {
                if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
                return NetStatus::kFailed;
            }
            data += sent;
            size -= static_cast<size_t>(sent);
        }
        return NetStatus::kOk;
    }

    NetStatus Receive(void* buffer, size_t size, int waitMs, size_t* got) override {
        *got = 0;
        const int ready = WaitFor(socket_, false, waitMs);
        if (ready < 0) return NetStatus::kFailed;
        if (ready == 0) return NetStatus::kTimedOut;
        const int n = recv(socket_, static_cast<char*>(buffer), size > 65536 ? 65536 : static_cast<int>(size), 0);
        if (n == 0) return NetStatus::kClosed;
        if (n == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? NetStatus::kTimedOut : NetStatus::kFailed;
        *got = static_cast<size_t>(n);
        return NetStatus::kOk;
    }

private:
    SOCKET socket_;
};

NetStatus ConnectOne(const addrinfo& a, Clock::time_point deadline, const std::atomic<bool>& cancel, SOCKET* out) {
    SOCKET s = socket(a.ai_family, a.ai_socktype, a.ai_protocol);
    if (s == INVALID_SOCKET) return NetStatus::kFailed;
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    NetStatus status = NetStatus::kOk;
    if (connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) == SOCKET_ERROR) {
        status = WSAGetLastError() == WSAEWOULDBLOCK ? NetStatus::kTimedOut : NetStatus::kFailed;
        while (status == NetStatus::kTimedOut) {
            if (cancel) { status = NetStatus::kCancelled; break; }
            if (Clock::now() >= deadline) break;
            const int ready = WaitFor(s, true, MsUntil(deadline));
            if (ready < 0) { status = NetStatus::kFailed; break; }
            if (ready == 0) continue;
            int error = 0;
            int length = sizeof error;
            getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
            status = error == 0 ? NetStatus::kOk : NetStatus::kFailed;
        }
    }
    if (status != NetStatus::kOk) closesocket(s);
    else *out = s;
    return status;
}

}  // namespace

NetStatus Connect(const std::string& host, uint16_t port, Clock::time_point deadline,
                  const std::atomic<bool>& cancel, std::unique_ptr<Connection>* out) {
    if (!WinsockReady()) return NetStatus::kFailed;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0 || !list)
        return NetStatus::kFailed;
    NetStatus status = NetStatus::kFailed;
    for (addrinfo* a = list; a; a = a->ai_next) {
        SOCKET s = INVALID_SOCKET;
        status = ConnectOne(*a, deadline, cancel, &s);
        if (status == NetStatus::kOk) {
            *out = std::make_unique<WinsockConnection>(s);
            break;
        }
        if (status == NetStatus::kCancelled || status == NetStatus::kTimedOut) break;
    }
    freeaddrinfo(list);
    return status;
}

}  // namespace engine
