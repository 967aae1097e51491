#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A plain TCP client on 127.0.0.1 for driving the receiver from tests.

namespace lumo::gamestate::test {

class LoopbackClient {
public:
    // Connects to 127.0.0.1:`port`; connected() tells whether that worked.
    explicit LoopbackClient(std::uint16_t port);
    ~LoopbackClient();
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    bool connected() const;
    // Writes every byte; false when the connection refused some.
    bool send(std::string_view bytes);
    // Everything the peer sends until it closes the connection; nullopt when it is still open
    // after `timeout`. A reset counts as closing.
    std::optional<std::string> readUntilClosed(std::chrono::milliseconds timeout);
    // Closes in order: the peer reads what was sent, then the end.
    void close();
    // Closes so that the peer sees a reset rather than an orderly end.
    void resetAndClose();

private:
    std::uintptr_t socket_;
};

// The system's codes for a connection reset by the peer and for an address in use.
int connectionResetCode();
int addressInUseCode();

}  // namespace lumo::gamestate::test
