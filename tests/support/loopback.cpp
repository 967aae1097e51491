#include "loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace lumo::test {

namespace {

sockaddr_in loopbackAddress(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Scans one of the kernel's TCP tables for a listening socket on `port` at 127.0.0.1 or
// any address. Lines look like "0: 0100007F:0BBA 00000000:0000 0A ...".
bool tableHasListener(const char* table, std::uint16_t port) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        const auto colon = local.rfind(':');
        if (colon == std::string::npos || state != "0A") continue;
        const unsigned long localPort = std::stoul(local.substr(colon + 1), nullptr, 16);
        const std::string host = local.substr(0, colon);
        const bool loopbackOrAny = host == "0100007F" || host.find_first_not_of('0') == std::string::npos;
        if (localPort == port && loopbackOrAny) return true;
    }
    return false;
}

}  // namespace

int connectTo(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (fd < 0) return -1;
    const sockaddr_in address = loopbackAddress(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void sendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

std::string readUntilClosed(int fd, std::chrono::milliseconds timeout) {
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return received;
}

void resetAndClose(int fd) {
    const linger immediate{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
    ::close(fd);
}

bool isListening(std::uint16_t port) {
    return tableHasListener("/proc/net/tcp", port) || tableHasListener("/proc/net/tcp6", port);
}

std::uint16_t unusedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = loopbackAddress(0);
    socklen_t length = sizeof address;
    std::uint16_t port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) ::close(fd);
    return port;
}

PortBlocker::PortBlocker(std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (fd_ < 0) return;
    // Connections of earlier runs may linger in TIME_WAIT on this port.
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in address = loopbackAddress(port);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, 1) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

PortBlocker::~PortBlocker() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace lumo::test
