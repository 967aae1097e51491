// Loopback test client over BSD sockets, for POSIX systems.
#include "loopback.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace lumo::test {

namespace {

int fd(lumo::net::NativeSocket socket) { return static_cast<int>(socket); }

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

namespace loopback_system {

void shutdownSending(lumo::net::NativeSocket socket) { ::shutdown(fd(socket), SHUT_WR); }

bool bindSharing(lumo::net::NativeSocket socket, std::uint16_t port) {
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = loopbackAddress();
    return ::setsockopt(fd(socket), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
           ::bind(fd(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

void resetOnClose(lumo::net::NativeSocket socket) {
    const linger immediate{1, 0};
    ::setsockopt(fd(socket), SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
}

}  // namespace loopback_system

bool isListening(std::uint16_t port) {
    return tableHasListener("/proc/net/tcp", port) || tableHasListener("/proc/net/tcp6", port);
}

int connectionResetCode() { return ECONNRESET; }
int addressInUseCode() { return EADDRINUSE; }
bool resetReachesThePeer() { return true; }

bool socketOwnersKnown() { return true; }

}  // namespace lumo::test
