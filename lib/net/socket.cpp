#include "net/socket.h"

namespace lumo::net {

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
