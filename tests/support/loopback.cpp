#include "loopback.h"

#include <cstring>

namespace lumo::test {

using lumo::net::Received;
using lumo::net::SocketHandle;

std::uint32_t loopbackAddress() { return lumo::net::ipv4Address(127, 0, 0, 1); }

void startSocketsOnce() {
    // Never stopped: sockets stay usable until the test program ends.
    static const int started = lumo::net::startSocketLibrary();
    (void)started;
}

bool sendAll(const SocketHandle& socket, std::string_view bytes) {
    return lumo::net::sendAll(socket, bytes, std::chrono::seconds(10)) == 0;
}

bool LoopbackClient::connect(std::uint16_t port) {
    // The client may run before any listener has started the socket library.
    startSocketsOnce();
    int error = 0;
    socket_ = lumo::net::openTcpSocket(error);
    if (socket_ && lumo::net::connectSocket(socket_, loopbackAddress(), port, std::chrono::seconds(10)) != 0)
        socket_.reset();
    return connected();
}

void LoopbackClient::finishSending() { loopback_system::shutdownSending(socket_.get()); }

void LoopbackClient::resetAndClose() {
    loopback_system::resetOnClose(socket_.get());
    socket_.reset();
}

std::optional<std::string> LoopbackClient::readUntilClosed(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string received;
    char piece[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        const Received read = lumo::net::receiveSome(socket_, piece, sizeof piece, left);
        switch (read.outcome) {
        case Received::Outcome::data:
            received.append(piece, read.bytes);
            break;
        case Received::Outcome::timedOut:
            break;
        case Received::Outcome::closed:
        case Received::Outcome::failed:
            return received;
        }
    }
}

std::uint16_t unusedLoopbackPort() {
    startSocketsOnce();
    int error = 0;
    const SocketHandle socket = lumo::net::openTcpSocket(error);
    if (!socket || lumo::net::bindSocket(socket, loopbackAddress(), 0) != 0) return 0;
    return lumo::net::boundPort(socket);
}

bool canBindSharing(std::uint16_t port) {
    startSocketsOnce();
    int error = 0;
    const SocketHandle socket = lumo::net::openTcpSocket(error);
    return socket && loopback_system::bindSharing(socket.get(), port);
}

PortBlocker::PortBlocker(std::uint16_t port) {
    startSocketsOnce();
    int error = 0;
    socket_ = lumo::net::openTcpSocket(error);
    // bindSocket lets connections of earlier runs linger in TIME_WAIT on this port.
    if (socket_ && (lumo::net::bindSocket(socket_, loopbackAddress(), port) != 0 ||
                    lumo::net::listenOnSocket(socket_, 1) != 0)) {
        socket_.reset();
    }
}

std::string gameStatePost(const std::string& jsonBody, const std::string& appId, std::uint16_t port) {
    return "POST / HTTP/1.1\r\n"
           "user-agent: Valve/Steam HTTP Client 1.0 (" +
           appId +
           ")\r\n"
           "Content-Type: application/json\r\n"
           "Host: 127.0.0.1:" +
           std::to_string(port) +
           "\r\n"
           "Accept: text/html,*/*;q=0.9\r\n"
           "accept-encoding: gzip,identity,*;q=0\r\n"
           "accept-charset: ISO-8859-1,utf-8,*;q=0.7\r\n"
           "Content-Length: " +
           std::to_string(jsonBody.size()) + "\r\n\r\n" + jsonBody;
}

}  // namespace lumo::test
