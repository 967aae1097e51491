#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

// The few TCP operations the programs need (the game-state receiver, the OpenRGB client and
// the tests' clients and servers), over BSD sockets or Winsock.
// Every function that can fail returns the system's error code (errno, or WSAGetLastError()
// read right after the failing call); 0 means success.

namespace lumo::net {

// Wide enough for a POSIX descriptor and a Winsock SOCKET alike.
using NativeSocket = std::uintptr_t;
inline constexpr NativeSocket kNoSocket = ~NativeSocket{0};

// Closes a socket; kNoSocket is ignored.
void closeNativeSocket(NativeSocket socket);

// Owns one socket and closes it when destroyed. Move-only. The value is atomic so that
// interruptAccept() may take it from another thread while an accept is blocked on it.
class SocketHandle {
public:
    SocketHandle() = default;
    explicit SocketHandle(NativeSocket socket) : socket_(socket) {}
    ~SocketHandle() { reset(); }
    SocketHandle(SocketHandle&& other) noexcept : socket_(other.release()) {}
    SocketHandle& operator=(SocketHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;

    NativeSocket get() const { return socket_.load(); }
    explicit operator bool() const { return get() != kNoSocket; }
    // Gives up ownership without closing.
    NativeSocket release() { return socket_.exchange(kNoSocket); }
    // Closes the owned socket (if any) and takes `socket`.
    void reset(NativeSocket socket = kNoSocket) { closeNativeSocket(socket_.exchange(socket)); }

private:
    std::atomic<NativeSocket> socket_{kNoSocket};
};

// Starts the socket library (Winsock 2.2; nothing to do on POSIX). Each successful start is
// matched by one stopSocketLibrary().
int startSocketLibrary();
void stopSocketLibrary();

// A new IPv4 TCP stream socket; `error` receives the code when the result is empty.
SocketHandle openTcpSocket(int& error);

// The IPv4 address a.b.c.d in network byte order, as sockets take it.
inline std::uint32_t ipv4Address(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    const std::uint8_t bytes[4] = {a, b, c, d};
    std::uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

// True for an address (network byte order) of 127.0.0.0/8, which never leaves the machine.
inline bool isLoopbackAddress(std::uint32_t address) {
    std::uint8_t bytes[4];
    std::memcpy(bytes, &address, sizeof bytes);
    return bytes[0] == 127;
}

// The first IPv4 address `host` (a name or a dotted address) resolves to, in network byte
// order; nullopt when it does not resolve.
std::optional<std::uint32_t> resolveIpv4(const std::string& host);
// The first IPv4 address "localhost" resolves to.
inline std::optional<std::uint32_t> resolveLocalhost() { return resolveIpv4("localhost"); }

// Binds to `address` (network byte order) and `port` (host order; 0 picks a free one).
// On POSIX the port may be rebound while connections of an earlier run sit in TIME_WAIT;
// Windows binds for exclusive use, because there a socket with SO_REUSEADDR could otherwise
// share the port. A port somebody listens on fails either way.
int bindSocket(const SocketHandle& socket, std::uint32_t address, std::uint16_t port);
int listenOnSocket(const SocketHandle& socket, int backlog);
// The local port the socket is bound to; 0 when it cannot be told.
std::uint16_t boundPort(const SocketHandle& socket);

// Waits for the next connection; an empty result means failure with `error` set.
SocketHandle acceptConnection(const SocketHandle& listener, int& error);

// Connects to `address` (network byte order) and `port`, giving up after `timeout`; the
// socket is left blocking either way, and sends without delay (no Nagle). A time-out returns
// the system's "timed out" code.
int connectSocket(const SocketHandle& socket, std::uint32_t address, std::uint16_t port,
                  std::chrono::milliseconds timeout);

// Writes every byte of `bytes`, each wait for room lasting at most `timeout`; a peer that has
// gone is an error, never a signal. 0, or the system's code.
int sendAll(const SocketHandle& socket, std::string_view bytes, std::chrono::milliseconds timeout);

// Waits until the socket has something to read (data, an end or an error): true, or false
// after `timeout` (0 only looks).
bool waitReadable(const SocketHandle& socket, std::chrono::milliseconds timeout);

struct Received {
    enum class Outcome { data, closed, timedOut, failed };
    Outcome outcome = Outcome::failed;
    std::size_t bytes = 0;  // with Outcome::data
    int error = 0;          // with Outcome::failed
};

// One read of at most `capacity` bytes, waiting no longer than `timeout` (0 only looks).
// `closed` means the peer ended the connection in order.
Received receiveSome(const SocketHandle& socket, char* buffer, std::size_t capacity,
                     std::chrono::milliseconds timeout);

// Exactly `size` bytes into `buffer`, read before `deadline`; Outcome::data only when all
// arrived; otherwise the outcome that stopped it, with `bytes` telling how many came.
Received receiveExactly(const SocketHandle& socket, char* buffer, std::size_t size,
                        std::chrono::steady_clock::time_point deadline);

// Makes a blocked (or the next) accept on `listener` fail. On POSIX the socket is shut down
// and stays owned; on Windows it has to be closed, so `listener` is left empty.
void interruptAccept(SocketHandle& listener);

}  // namespace lumo::net
