// The TCP operations over BSD sockets, for Linux and other POSIX systems.
#include "net/socket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace lumo::net {

namespace {

int fd(const SocketHandle& socket) { return static_cast<int>(socket.get()); }

int pollTimeout(std::chrono::milliseconds timeout) {
    if (timeout.count() < 0) return 0;
    return timeout.count() > 0x7fffffff ? 0x7fffffff : static_cast<int>(timeout.count());
}

// Waits for `events` on the socket; 0 when they came, ETIMEDOUT, or the system's code.
int waitFor(const SocketHandle& socket, short events, std::chrono::milliseconds timeout) {
    pollfd watched{fd(socket), events, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, pollTimeout(timeout));
        if (ready > 0) return 0;
        if (ready == 0) return ETIMEDOUT;
        if (errno != EINTR) return errno;
    }
}

}  // namespace

void closeNativeSocket(NativeSocket socket) {
    if (socket != kNoSocket) ::close(static_cast<int>(socket));
}

int startSocketLibrary() { return 0; }

void stopSocketLibrary() {}

SocketHandle openTcpSocket(int& error) {
    const int created = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (created < 0) {
        error = errno;
        return {};
    }
    return SocketHandle(static_cast<NativeSocket>(created));
}

int bindSocket(const SocketHandle& socket, std::uint32_t address, std::uint16_t port) {
    const int reuse = 1;
    if (::setsockopt(fd(socket), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0) return errno;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = address;
    if (::bind(fd(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) return errno;
    return 0;
}

int listenOnSocket(const SocketHandle& socket, int backlog) {
    return ::listen(fd(socket), backlog) == 0 ? 0 : errno;
}

std::uint16_t boundPort(const SocketHandle& socket) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(fd(socket), reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

SocketHandle acceptConnection(const SocketHandle& listener, int& error) {
    for (;;) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int accepted = ::accept(fd(listener), reinterpret_cast<sockaddr*>(&peer), &length);
        if (accepted >= 0) return SocketHandle(static_cast<NativeSocket>(accepted));
        // A signal is not a failure of the listener.
        if (errno != EINTR) {
            error = errno;
            return {};
        }
    }
}

int connectSocket(const SocketHandle& socket, std::uint32_t address, std::uint16_t port,
                  std::chrono::milliseconds timeout) {
    const int flags = ::fcntl(fd(socket), F_GETFL);
    if (flags < 0 || ::fcntl(fd(socket), F_SETFL, flags | O_NONBLOCK) != 0) return errno;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    remote.sin_addr.s_addr = address;
    int error = 0;
    if (::connect(fd(socket), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        error = errno;
        if (error == EINPROGRESS && (error = waitFor(socket, POLLOUT, timeout)) == 0) {
            socklen_t length = sizeof error;
            if (::getsockopt(fd(socket), SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
        }
    }
    if (::fcntl(fd(socket), F_SETFL, flags) != 0 && error == 0) error = errno;
    // A client here sends small commands that are due at once: Nagle would hold one back
    // until the peer acknowledges the one before.
    const int noDelay = 1;
    if (error == 0 && ::setsockopt(fd(socket), IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay) != 0)
        error = errno;
    return error;
}

int sendAll(const SocketHandle& socket, std::string_view bytes, std::chrono::milliseconds timeout) {
    while (!bytes.empty()) {
        if (const int error = waitFor(socket, POLLOUT, timeout); error != 0) return error;
        // A peer that has gone must not end the program with SIGPIPE.
        const ssize_t sent = ::send(fd(socket), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return 0;
}

bool waitReadable(const SocketHandle& socket, std::chrono::milliseconds timeout) {
    return waitFor(socket, POLLIN, timeout) == 0;
}

Received receiveSome(const SocketHandle& socket, char* buffer, std::size_t capacity,
                     std::chrono::milliseconds timeout) {
    if (const int error = waitFor(socket, POLLIN, timeout); error != 0) {
        if (error == ETIMEDOUT) return {Received::Outcome::timedOut, 0, 0};
        return {Received::Outcome::failed, 0, error};
    }
    for (;;) {
        const ssize_t count = ::recv(fd(socket), buffer, capacity, MSG_DONTWAIT);
        if (count > 0) return {Received::Outcome::data, static_cast<std::size_t>(count), 0};
        if (count == 0) return {Received::Outcome::closed, 0, 0};
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return {Received::Outcome::timedOut, 0, 0};
        return {Received::Outcome::failed, 0, errno};
    }
}

void interruptAccept(SocketHandle& listener) {
    // Linux wakes a blocked accept on a listening socket that is shut down (EINVAL).
    ::shutdown(fd(listener), SHUT_RDWR);
}

}  // namespace lumo::net
