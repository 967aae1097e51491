// The receiver's socket operations over Winsock 2.2, for Windows.
#include "gamestate/socket.h"

#include "util/windows_support.h"

namespace lumo::gamestate {

namespace {

SOCKET handleOf(const SocketHandle& socket) { return static_cast<SOCKET>(socket.get()); }

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

Received receiveSome(const SocketHandle& socket, char* buffer, std::size_t capacity,
                     std::chrono::milliseconds timeout) {
    // Winsock takes SO_RCVTIMEO as a DWORD of milliseconds; 0 would mean "wait forever".
    const DWORD limit = timeout.count() < 1 ? 1 : static_cast<DWORD>(timeout.count());
    if (::setsockopt(handleOf(socket), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit),
                     sizeof limit) == SOCKET_ERROR)
        return {Received::Outcome::failed, 0, ::WSAGetLastError()};
    const int count = ::recv(handleOf(socket), buffer, static_cast<int>(capacity), 0);
    if (count > 0) return {Received::Outcome::data, static_cast<std::size_t>(count), 0};
    if (count == 0) return {Received::Outcome::closed, 0, 0};
    const int error = ::WSAGetLastError();
    if (error == WSAETIMEDOUT) return {Received::Outcome::timedOut, 0, 0};
    return {Received::Outcome::failed, 0, error};
}

void interruptAccept(SocketHandle& listener) {
    // Shutting a listening socket down does not wake accept on Windows; closing it does.
    closeNativeSocket(listener.release());
}

}  // namespace lumo::gamestate
