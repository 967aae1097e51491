#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace lumo::test {

// Raw IPv4 loopback (127.0.0.1) client helpers for driving a receiver by hand.

// A connected TCP socket descriptor, or -1 when nothing accepts on `port`. The caller closes it.
int connectTo(std::uint16_t port);
// Writes every byte (retrying short writes); a failed write ends the attempt quietly, the
// reader then sees the effect.
void sendAll(int fd, const std::string& bytes);
// Reads until the peer closes the connection or `timeout` passes, then closes `fd`; returns
// what was read. A reset by the peer also ends the read.
std::string readUntilClosed(int fd, std::chrono::milliseconds timeout);
// Closes `fd` so that the peer sees a reset instead of an orderly end (SO_LINGER 0).
void resetAndClose(int fd);
// True when some socket listens on 127.0.0.1:`port` (or on all addresses), judged from the
// kernel's table, so no connection is spent on asking.
bool isListening(std::uint16_t port);
// A port that nothing listens on right now: bound once to port 0 and released.
std::uint16_t unusedLoopbackPort();

// Holds a listening socket on 127.0.0.1:`port` so a program under test cannot bind it.
class PortBlocker {
public:
    explicit PortBlocker(std::uint16_t port);
    ~PortBlocker();
    PortBlocker(const PortBlocker&) = delete;
    PortBlocker& operator=(const PortBlocker&) = delete;
    bool holding() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace lumo::test
