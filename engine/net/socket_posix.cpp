// POSIX sockets for the native build; socket_win.cpp is the Windows twin.
#ifndef _WIN32
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "net/socket.h"

namespace engine {
namespace {

int MsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left < kCancelSliceMs ? left : kCancelSliceMs);
}

// 1: ready, 0: not within waitMs, -1: error.
int WaitFor(int fd, short events, int waitMs) {
    pollfd p{fd, events, 0};
    int r;
    do r = poll(&p, 1, waitMs);
    while (r < 0 && errno == EINTR);
    if (r < 0) return -1;
    return r > 0 ? 1 : 0;
}

class PosixConnection : public Connection {
public:
    explicit PosixConnection(int fd) : fd_(fd) {}
    ~PosixConnection() override { close(fd_); }

    NetStatus SendAll(const char* data, size_t size, Clock::time_point deadline,
                      const std::atomic<bool>& cancel) override {
        while (size > 0) {
            if (cancel) return NetStatus::kCancelled;
            if (Clock::now() >= deadline) return NetStatus::kTimedOut;
            const int ready = WaitFor(fd_, POLLOUT, MsUntil(deadline));
            if (ready < 0) return NetStatus::kFailed;
            if (ready == 0) continue;
            const ssize_t sent = send(fd_, data, size, MSG_NOSIGNAL);
            if (sent < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
                return NetStatus::kFailed;
            }
            data += sent;
            size -= static_cast<size_t>(sent);
        }
        return NetStatus::kOk;
    }

    NetStatus Receive(void* buffer, size_t size, int waitMs, size_t* got) override {
        *got = 0;
        const int ready = WaitFor(fd_, POLLIN, waitMs);
        if (ready < 0) return NetStatus::kFailed;
        if (ready == 0) return NetStatus::kTimedOut;
        const ssize_t n = recv(fd_, buffer, size, 0);
        if (n == 0) return NetStatus::kClosed;
        if (n < 0) return errno == EAGAIN || errno == EINTR ? NetStatus::kTimedOut : NetStatus::kFailed;
        *got = static_cast<size_t>(n);
        return NetStatus::kOk;
    }

private:
    int fd_;
};

NetStatus ConnectOne(const addrinfo& a, Clock::time_point deadline, const std::atomic<bool>& cancel, int* out) {
    const int fd = socket(a.ai_family, a.ai_socktype | SOCK_CLOEXEC, a.ai_protocol);
    if (fd < 0) return NetStatus::kFailed;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    NetStatus status = NetStatus::kOk;
    if (connect(fd, a.ai_addr, a.ai_addrlen) != 0) {
        status = errno == EINPROGRESS ? NetStatus::kTimedOut : NetStatus::kFailed;
        while (status == NetStatus::kTimedOut) {
            if (cancel) { status = NetStatus::kCancelled; break; }
            if (Clock::now() >= deadline) break;
            const int ready = WaitFor(fd, POLLOUT, MsUntil(deadline));
            if (ready < 0) { status = NetStatus::kFailed; break; }
            if (ready == 0) continue;
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
            status = error == 0 ? NetStatus::kOk : NetStatus::kFailed;
        }
    }
    if (status != NetStatus::kOk) close(fd);
    else *out = fd;
    return status;
}

}  // namespace

NetStatus Connect(const std::string& host, uint16_t port, Clock::time_point deadline,
                  const std::atomic<bool>& cancel, std::unique_ptr<Connection>* out) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0 || !list)
        return NetStatus::kFailed;
    NetStatus status = NetStatus::kFailed;
    for (addrinfo* a = list; a; a = a->ai_next) {
        int fd = -1;
        status = ConnectOne(*a, deadline, cancel, &fd);
        if (status == NetStatus::kOk) {
            *out = std::make_unique<PosixConnection>(fd);
            break;
        }
        if (status == NetStatus::kCancelled || status == NetStatus::kTimedOut) break;
    }
    freeaddrinfo(list);
    return status;
}

}  // namespace engine
#endif
