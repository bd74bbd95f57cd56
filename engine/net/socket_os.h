#pragma once
// The operating system's socket calls, as few and as plain as the loop in socket.cpp
// needs: socket_os_posix.cpp (native builds) or socket_os_win.cpp (Winsock). Every
// socket here is non-blocking; nothing in this layer waits longer than it is told.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace engine::os {

using SocketId = intptr_t;  // a file descriptor or a Winsock SOCKET
constexpr SocketId kNoSocket = -1;

enum class Io { kDone, kWouldBlock, kClosed, kFailed };

// One address of a host, as the resolver gave it.
struct Address {
    int family = 0;
    int type = 0;
    int protocol = 0;
    std::vector<unsigned char> bytes;  // the system's socket address
};

// Starts the socket layer once per process (Winsock); false when it cannot.
bool StartSockets();
// The addresses of host:port for a stream connection, in the resolver's order; empty when
// the name is unknown. Cannot be interrupted.
std::vector<Address> Resolve(const std::string& host, uint16_t port);

// A lookup may outlive its caller and even a FreeLibrary of the library: on Windows the
// library then stays loaded until the process ends. Nothing to do elsewhere.
void KeepLibraryLoaded();
// A non-blocking socket for `address` with its connect started: kDone when connected at
// once, kWouldBlock while it is under way, kFailed (and *socket kNoSocket) otherwise.
Io StartConnect(const Address& address, SocketId* socket);
// Whether a started connect ended well; asked once the socket is writable.
bool Connected(SocketId socket);
// 1: readable (or writable), 0: not within waitMs, -1: error.
int WaitReady(SocketId socket, bool write, int waitMs);
// At most `size` bytes; kDone with *count > 0, kWouldBlock, kClosed (receive only) or kFailed.
Io Send(SocketId socket, const char* data, size_t size, size_t* count);
Io Receive(SocketId socket, void* buffer, size_t size, size_t* count);
void CloseSocket(SocketId socket);

}  // namespace engine::os
