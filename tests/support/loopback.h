#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/socket.h"

namespace lumo::test {

// 127.0.0.1 in network byte order.
std::uint32_t loopbackAddress();
// Starts the socket library once for the whole test program (Winsock; nothing on POSIX).
void startSocketsOnce();

// Writes every byte of `bytes` to a connected socket; false when the connection refused some.
bool sendAll(const lumo::net::SocketHandle& socket, std::string_view bytes);

// A plain TCP client on 127.0.0.1 for driving a receiver by hand.
class LoopbackClient {
public:
    LoopbackClient() = default;
    // Connects at once; connected() tells whether that worked.
    explicit LoopbackClient(std::uint16_t port) { connect(port); }
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    // Connects to 127.0.0.1:`port`, closing any earlier connection first; false when nothing
    // accepts there.
    bool connect(std::uint16_t port);
    bool connected() const { return static_cast<bool>(socket_); }
    // Writes every byte; false when the connection refused some.
    bool send(std::string_view bytes) { return sendAll(socket_, bytes); }
    // Ends the sending side only: the peer reads the end at once, replies can still come.
    void finishSending();
    // Everything the peer sends until it closes the connection; nullopt when it is still open
    // after `timeout`. A reset counts as closing.
    std::optional<std::string> readUntilClosed(std::chrono::milliseconds timeout);
    // Closes in order: the peer reads what was sent, then the end.
    void close() { socket_.reset(); }
    // Closes so that the peer sees a reset rather than an orderly end.
    void resetAndClose();

private:
    lumo::net::SocketHandle socket_;
};

// True when some socket listens on 127.0.0.1:`port` (or on all addresses), judged from the
// system's table of connections, so no connection is spent on asking.
bool isListening(std::uint16_t port);
// A port that nothing listens on right now: bound once to port 0 and released.
std::uint16_t unusedLoopbackPort();

// Holds a listening socket on 127.0.0.1:`port` so a program under test cannot bind it.
class PortBlocker {
public:
    explicit PortBlocker(std::uint16_t port);
    bool holding() const { return static_cast<bool>(socket_); }

private:
    lumo::net::SocketHandle socket_;
};

// True when a socket of another program, with SO_REUSEADDR set, could bind 127.0.0.1:`port`
// (it is released at once).
bool canBindSharing(std::uint16_t port);

// The system's codes for a connection reset by the peer and for an address in use.
int connectionResetCode();
int addressInUseCode();

// False where the system's TCP table does not name a listening socket's process: Wine gives 0.
bool socketOwnersKnown();

// False where resetAndClose cannot make a reset: Wine 8 ends the connection in order even
// with a zero linger time.
bool resetReachesThePeer();

// The system calls behind the client, one file per system (loopback_posix.cpp,
// loopback_win.cpp). Each reports failure as its result and nothing else.
namespace loopback_system {
// Ends the sending direction.
void shutdownSending(lumo::net::NativeSocket socket);
// Makes the next close reset the connection (a zero linger time).
void resetOnClose(lumo::net::NativeSocket socket);
// Sets SO_REUSEADDR, as a port-stealing program would, and binds 127.0.0.1:`port`.
bool bindSharing(lumo::net::NativeSocket socket, std::uint16_t port);
}  // namespace loopback_system

// The request a game sends for `jsonBody` to 127.0.0.1:`port`, header and body in one text:
// the header lines of Steam's HTTP client in its order, with the game's app id ("570" for
// Dota 2, "730" for Counter-Strike) in the user agent.
std::string gameStatePost(const std::string& jsonBody, const std::string& appId, std::uint16_t port);

}  // namespace lumo::test
