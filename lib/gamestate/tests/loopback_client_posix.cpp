// Loopback test client over BSD sockets, for POSIX systems.
#include "loopback_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace lumo::gamestate::test {

namespace {

constexpr std::uintptr_t kNone = ~std::uintptr_t{0};

int fd(std::uintptr_t socket) { return static_cast<int>(socket); }

}  // namespace

LoopbackClient::LoopbackClient(std::uint16_t port) : socket_(kNone) {
    const int created = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (created < 0) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(created, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(created);
        return;
    }
    socket_ = static_cast<std::uintptr_t>(created);
}

LoopbackClient::~LoopbackClient() { close(); }

bool LoopbackClient::connected() const { return socket_ != kNone; }

bool LoopbackClient::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd(socket_), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::optional<std::string> LoopbackClient::readUntilClosed(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string received;
    char piece[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd wait{fd(socket_), POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        const ssize_t count = ::recv(fd(socket_), piece, sizeof piece, 0);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return received;
        received.append(piece, static_cast<std::size_t>(count));
    }
}

void LoopbackClient::close() {
    if (socket_ != kNone) ::close(fd(socket_));
    socket_ = kNone;
}

void LoopbackClient::resetAndClose() {
    const linger immediate{1, 0};
    ::setsockopt(fd(socket_), SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
    ::close(fd(socket_));
    socket_ = kNone;
}

int connectionResetCode() { return ECONNRESET; }
int addressInUseCode() { return EADDRINUSE; }

}  // namespace lumo::gamestate::test
