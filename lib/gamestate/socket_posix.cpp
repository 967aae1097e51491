// The receiver's socket operations over BSD sockets, for Linux and other POSIX systems.
#include "gamestate/socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

namespace lumo::gamestate {

namespace {

int fd(const SocketHandle& socket) { return static_cast<int>(socket.get()); }

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

std::optional<std::uint32_t> resolveLocalhost() {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo("localhost", nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
    std::optional<std::uint32_t> address;
    if (found->ai_family == AF_INET && found->ai_addrlen >= sizeof(sockaddr_in))
        address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return address;
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

Received receiveSome(const SocketHandle& socket, char* buffer, std::size_t capacity,
                     std::chrono::milliseconds timeout) {
    // A zero SO_RCVTIMEO would mean "wait forever".
    const long milliseconds = timeout.count() < 1 ? 1 : static_cast<long>(timeout.count());
    timeval limit{};
    limit.tv_sec = milliseconds / 1000;
    limit.tv_usec = (milliseconds % 1000) * 1000;
    if (::setsockopt(fd(socket), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0)
        return {Received::Outcome::failed, 0, errno};
    for (;;) {
        const ssize_t count = ::recv(fd(socket), buffer, capacity, 0);
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

}  // namespace lumo::gamestate
