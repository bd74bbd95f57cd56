// POSIX sockets for the native build; socket_os_win.cpp is the Windows twin.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "net/socket_os.h"

namespace engine::os {

bool StartSockets() { return true; }

Io StartConnect(const Address& address, SocketId* socketOut) {
    const int fd = socket(address.family, address.type | SOCK_CLOEXEC, address.protocol);
    if (fd < 0) return Io::kFailed;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    const auto* to = reinterpret_cast<const sockaddr*>(address.bytes.data());
    const bool done = connect(fd, to, static_cast<socklen_t>(address.bytes.size())) == 0;
    if (!done && errno != EINPROGRESS) {
        close(fd);
        return Io::kFailed;
    }
    *socketOut = fd;
    return done ? Io::kDone : Io::kWouldBlock;
}

bool Connected(SocketId socket) {
    int error = 0;
    socklen_t length = sizeof error;
    getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_ERROR, &error, &length);
    return error == 0;
}

int WaitReady(SocketId socket, bool write, int waitMs) {
    pollfd p{static_cast<int>(socket), static_cast<short>(write ? POLLOUT : POLLIN), 0};
    int r;
    do r = poll(&p, 1, waitMs);
    while (r < 0 && errno == EINTR);
    if (r < 0) return -1;
    return r > 0 ? 1 : 0;
}

Io Send(SocketId socket, const char* data, size_t size, size_t* count) {
    const ssize_t sent = send(static_cast<int>(socket), data, size, MSG_NOSIGNAL);
    if (sent < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? Io::kWouldBlock : Io::kFailed;
    *count = static_cast<size_t>(sent);
    return Io::kDone;
}

Io Receive(SocketId socket, void* buffer, size_t size, size_t* count) {
    const ssize_t n = recv(static_cast<int>(socket), buffer, size, 0);
    if (n == 0) return Io::kClosed;
    if (n < 0) return errno == EAGAIN || errno == EINTR ? Io::kWouldBlock : Io::kFailed;
    *count = static_cast<size_t>(n);
    return Io::kDone;
}

void CloseSocket(SocketId socket) { close(static_cast<int>(socket)); }

void KeepLibraryLoaded() {}

}  // namespace engine::os
