// Loopback test client over Winsock, for Windows.
#include "loopback_client.h"

#include "util/windows_support.h"

namespace lumo::gamestate::test {

namespace {

constexpr std::uintptr_t kNone = ~std::uintptr_t{0};

SOCKET handleOf(std::uintptr_t socket) { return static_cast<SOCKET>(socket); }

// The client may run before any listener has started Winsock.
void startWinsockOnce() {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}

}  // namespace

LoopbackClient::LoopbackClient(std::uint16_t port) : socket_(kNone) {
    startWinsockOnce();
    const SOCKET created = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (created == INVALID_SOCKET) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(created, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        ::closesocket(created);
        return;
    }
    socket_ = static_cast<std::uintptr_t>(created);
}

LoopbackClient::~LoopbackClient() { close(); }

bool LoopbackClient::connected() const { return socket_ != kNone; }

bool LoopbackClient::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const int sent = ::send(handleOf(socket_), bytes.data(), static_cast<int>(bytes.size()), 0);
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
        WSAPOLLFD wait{handleOf(socket_), POLLRDNORM, 0};
        const int ready = ::WSAPoll(&wait, 1, static_cast<INT>(left.count()));
        if (ready <= 0) return std::nullopt;
        const int count = ::recv(handleOf(socket_), piece, sizeof piece, 0);
        if (count <= 0) return received;
        received.append(piece, static_cast<std::size_t>(count));
    }
}

void LoopbackClient::close() {
    if (socket_ != kNone) ::closesocket(handleOf(socket_));
    socket_ = kNone;
}

void LoopbackClient::resetAndClose() {
    const linger immediate{1, 0};
    ::setsockopt(handleOf(socket_), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&immediate),
                 sizeof immediate);
    ::closesocket(handleOf(socket_));
    socket_ = kNone;
}

int connectionResetCode() { return WSAECONNRESET; }
int addressInUseCode() { return WSAEADDRINUSE; }

}  // namespace lumo::gamestate::test
