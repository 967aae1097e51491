#include "net/socket.h"

// The platform's own header, picked by the build: getaddrinfo is declared by both systems.
#include "socket_system.h"

namespace lumo::net {

std::optional<std::uint32_t> resolveIpv4(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
    std::optional<std::uint32_t> address;
    if (found->ai_family == AF_INET && found->ai_addrlen >= sizeof(sockaddr_in))
        address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return address;
}

Received receiveExactly(const SocketHandle& socket, char* buffer, std::size_t size,
                        std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    std::size_t filled = 0;
    while (filled < size) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left.count() < 0) return {Received::Outcome::timedOut, filled, 0};
        Received piece = receiveSome(socket, buffer + filled, size - filled, left);
        if (piece.outcome != Received::Outcome::data) {
            piece.bytes = filled;
            return piece;
        }
        filled += piece.bytes;
    }
    return {Received::Outcome::data, filled, 0};
}

}  // namespace lumo::net
