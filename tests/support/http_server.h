#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/socket.h"

namespace lumo::test {

// A canned answer of the test HTTP server.
struct HttpResponse {
    int status = 200;
    std::string contentType = "application/json";
    std::string body{};
    std::string location{};    // sent as a Location header when not empty
    bool silent = false;       // accept the request and never answer (the connection stays open)
    bool unannounced = false;  // no Content-Length: the body ends where the connection does
};

// A tiny HTTP/1.1 server on 127.0.0.1 and a free port, on one thread of its own: it serves
// one connection at a time, answers each request from the route table by its path (query
// included) and closes the connection; unknown paths get 404. It records every request
// line's target. Stopping (or destruction) closes every connection it still holds. Throws
// std::runtime_error when it cannot listen.
class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(std::map<std::string, HttpResponse> routes);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `target` ("/feed?x=1").
    std::string url(const std::string& target) const;
    // The request targets seen so far, in order.
    std::vector<std::string> requests() const;
    void stop();

private:
    void serve();
    void answer(lumo::net::SocketHandle connection);

    std::map<std::string, HttpResponse> routes_;
    lumo::net::SocketHandle listener_;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<lumo::net::SocketHandle> held_;
    std::thread thread_;
};

}  // namespace lumo::test
