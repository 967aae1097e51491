// The TCP operations over Winsock 2.2, for Windows.
#include "net/socket.h"

#include "util/windows_support.h"

namespace lumo::net {

namespace {

SOCKET handleOf(const SocketHandle& socket) { return static_cast<SOCKET>(socket.get()); }

// Waits until the socket is readable (`forWriting` false) or writable; 0 when it is,
// WSAETIMEDOUT, or Winsock's code. select rather than SO_RCVTIMEO: after a receive time-out
// Winsock leaves the socket in an undefined state.
int waitFor(const SocketHandle& socket, bool forWriting, std::chrono::milliseconds timeout) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(handleOf(socket), &ready);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(handleOf(socket), &failed);
    const long long milliseconds = timeout.count() < 0 ? 0 : timeout.count();
    timeval limit{};
    limit.tv_sec = static_cast<long>(milliseconds / 1000);
    limit.tv_usec = static_cast<long>((milliseconds % 1000) * 1000);
    // The first argument is ignored by Winsock. A failed connect shows in the error set.
    const int count = ::select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr,
                               forWriting ? &failed : nullptr, &limit);
    if (count == SOCKET_ERROR) return ::WSAGetLastError();
    return count == 0 ? WSAETIMEDOUT : 0;
}

}  // namespace

void closeNativeSocket(NativeSocket socket) {
    if (socket != kNoSocket) ::closesocket(static_cast<SOCKET>(socket));
}

int startSocketLibrary() {
    WSADATA data{};
    // WSAStartup reports its error itself; WSAGetLastError is not usable before it succeeds.
    return ::WSAStartup(MAKEWORD(2, 2), &data);
}

void stopSocketLibrary() { ::WSACleanup(); }

SocketHandle openTcpSocket(int& error) {
    const SOCKET created = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (created == INVALID_SOCKET) {
        error = ::WSAGetLastError();
        return {};
    }
    return SocketHandle(static_cast<NativeSocket>(created));
}

int bindSocket(const SocketHandle& socket, std::uint32_t address, std::uint16_t port) {
    // No SO_REUSEADDR here: on Windows it would let a second program bind the same port. And
    // without exclusive use, another program's socket with SO_REUSEADDR could still share it
    // and take the game's posts.
    const BOOL exclusive = TRUE;
    if (::setsockopt(handleOf(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                     reinterpret_cast<const char*>(&exclusive), sizeof exclusive) == SOCKET_ERROR)
        return ::WSAGetLastError();
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = address;
    if (::bind(handleOf(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR)
        return ::WSAGetLastError();
    return 0;
}

int listenOnSocket(const SocketHandle& socket, int backlog) {
    return ::listen(handleOf(socket), backlog) == SOCKET_ERROR ? ::WSAGetLastError() : 0;
}

std::uint16_t boundPort(const SocketHandle& socket) {
    sockaddr_in local{};
    int length = sizeof local;
    if (::getsockname(handleOf(socket), reinterpret_cast<sockaddr*>(&local), &length) == SOCKET_ERROR)
        return 0;
    return ntohs(local.sin_port);
}

SocketHandle acceptConnection(const SocketHandle& listener, int& error) {
    sockaddr_in peer{};
    int length = sizeof peer;
    const SOCKET accepted = ::accept(handleOf(listener), reinterpret_cast<sockaddr*>(&peer), &length);
    if (accepted == INVALID_SOCKET) {
        error = ::WSAGetLastError();
        return {};
    }
    return SocketHandle(static_cast<NativeSocket>(accepted));
}

int connectSocket(const SocketHandle& socket, std::uint32_t address, std::uint16_t port,
                  std::chrono::milliseconds timeout) {
    u_long nonBlocking = 1;
    if (::ioctlsocket(handleOf(socket), FIONBIO, &nonBlocking) == SOCKET_ERROR) return ::WSAGetLastError();
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    remote.sin_addr.s_addr = address;
    int error = 0;
    if (::connect(handleOf(socket), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == SOCKET_ERROR) {
        error = ::WSAGetLastError();
        if (error == WSAEWOULDBLOCK && (error = waitFor(socket, true, timeout)) == 0) {
            int length = sizeof error;
            if (::getsockopt(handleOf(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) ==
                SOCKET_ERROR)
                error = ::WSAGetLastError();
        }
    }
    u_long blocking = 0;
    if (::ioctlsocket(handleOf(socket), FIONBIO, &blocking) == SOCKET_ERROR && error == 0)
        error = ::WSAGetLastError();
    // A client here sends small commands that are due at once: Nagle would hold one back
    // until the peer acknowledges the one before.
    const BOOL noDelay = TRUE;
    if (error == 0 && ::setsockopt(handleOf(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                                   sizeof noDelay) == SOCKET_ERROR)
        error = ::WSAGetLastError();
    return error;
}

int sendAll(const SocketHandle& socket, std::string_view bytes, std::chrono::milliseconds timeout) {
    while (!bytes.empty()) {
        if (const int error = waitFor(socket, true, timeout); error != 0) return error;
        const int chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<int>(bytes.size());
        const int sent = ::send(handleOf(socket), bytes.data(), chunk, 0);
        if (sent == SOCKET_ERROR) return ::WSAGetLastError();
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return 0;
}

bool waitReadable(const SocketHandle& socket, std::chrono::milliseconds timeout) {
    return waitFor(socket, false, timeout) == 0;
}

Received receiveSome(const SocketHandle& socket, char* buffer, std::size_t capacity,
                     std::chrono::milliseconds timeout) {
    if (const int error = waitFor(socket, false, timeout); error != 0) {
        if (error == WSAETIMEDOUT) return {Received::Outcome::timedOut, 0, 0};
        return {Received::Outcome::failed, 0, error};
    }
    const int count = ::recv(handleOf(socket), buffer, static_cast<int>(capacity), 0);
    if (count > 0) return {Received::Outcome::data, static_cast<std::size_t>(count), 0};
    if (count == 0) return {Received::Outcome::closed, 0, 0};
    return {Received::Outcome::failed, 0, ::WSAGetLastError()};
}

void interruptAccept(SocketHandle& listener) {
    // Shutting a listening socket down does not wake accept on Windows; closing it does.
    closeNativeSocket(listener.release());
}

}  // namespace lumo::net
