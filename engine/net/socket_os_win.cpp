// Winsock for fmodex.dll; socket_os_posix.cpp is the native twin.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

#include "net/socket_os.h"

namespace engine::os {
namespace {

// Winsock moves at most an int's worth per call; smaller steps keep each call short.
constexpr size_t kMaxStep = 65536;

SOCKET Handle(SocketId socket) { return static_cast<SOCKET>(socket); }
int Step(size_t size) { return static_cast<int>(size > kMaxStep ? kMaxStep : size); }

}  // namespace

// Started once per process and left running: the library may be unloaded while
// another user of Winsock in the process still needs it.
bool StartSockets() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        WSADATA data;
        ready = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ready;
}

Io StartConnect(const Address& address, SocketId* socketOut) {
    const SOCKET s = socket(address.family, address.type, address.protocol);
    if (s == INVALID_SOCKET) return Io::kFailed;
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    const auto* to = reinterpret_cast<const sockaddr*>(address.bytes.data());
    const bool done = connect(s, to, static_cast<int>(address.bytes.size())) != SOCKET_ERROR;
    if (!done && WSAGetLastError() != WSAEWOULDBLOCK) {
        closesocket(s);
        return Io::kFailed;
    }
    *socketOut = static_cast<SocketId>(s);
    return done ? Io::kDone : Io::kWouldBlock;
}

bool Connected(SocketId socket) {
    int error = 0;
    int length = sizeof error;
    getsockopt(Handle(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
    return error == 0;
}

// For writing, a failed connect counts as ready (the exception set).
int WaitReady(SocketId socket, bool write, int waitMs) {
    const SOCKET s = Handle(socket);
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

Io Send(SocketId socket, const char* data, size_t size, size_t* count) {
    const int sent = send(Handle(socket), data, Step(size), 0);
    if (sent == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? Io::kWouldBlock : Io::kFailed;
    *count = static_cast<size_t>(sent);
    return Io::kDone;
}

Io Receive(SocketId socket, void* buffer, size_t size, size_t* count) {
    const int n = recv(Handle(socket), static_cast<char*>(buffer), Step(size), 0);
    if (n == 0) return Io::kClosed;
    if (n == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? Io::kWouldBlock : Io::kFailed;
    *count = static_cast<size_t>(n);
    return Io::kDone;
}

void CloseSocket(SocketId socket) { closesocket(Handle(socket)); }

void KeepLibraryLoaded() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&KeepLibraryLoaded), &self);
}

}  // namespace engine::os
