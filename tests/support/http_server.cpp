#include "http_server.h"

#include <chrono>
#include <stdexcept>

#include "loopback.h"

namespace lumo::test {

namespace {

using lumo::net::Received;
using lumo::net::SocketHandle;

constexpr auto kReadSlice = std::chrono::milliseconds(50);
constexpr std::size_t kMaxRequestBytes = 64 * 1024;
constexpr auto kRequestTimeout = std::chrono::seconds(5);

const char* reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::map<std::string, HttpResponse> routes)
    : routes_(std::move(routes)) {
    startSocketsOnce();
    int error = 0;
    listener_ = lumo::net::openTcpSocket(error);
    if (!listener_ || lumo::net::bindSocket(listener_, loopbackAddress(), 0) != 0 ||
        lumo::net::listenOnSocket(listener_, 8) != 0 ||
        (port_ = lumo::net::boundPort(listener_)) == 0) {
        throw std::runtime_error("cannot open the test HTTP server");
    }
    thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() { stop(); }

std::string LoopbackHttpServer::url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

std::vector<std::string> LoopbackHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::stop() {
    stopping_ = true;
    // Ends the accept the serving thread is blocked in.
    if (listener_) lumo::net::interruptAccept(listener_);
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    held_.clear();
    listener_.reset();
}

void LoopbackHttpServer::serve() {
    while (!stopping_) {
        int error = 0;
        SocketHandle connection = lumo::net::acceptConnection(listener_, error);
        if (!connection) return;
        answer(std::move(connection));
    }
}

void LoopbackHttpServer::answer(SocketHandle connection) {
    // Read the request head; bodies are not expected (the client only GETs).
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + kRequestTimeout;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes && !stopping_ &&
           std::chrono::steady_clock::now() < deadline) {
        const Received read = lumo::net::receiveSome(connection, buffer, sizeof buffer, kReadSlice);
        if (read.outcome == Received::Outcome::timedOut) continue;
        if (read.outcome != Received::Outcome::data) break;
        request.append(buffer, read.bytes);
    }

    // "GET /target HTTP/1.1"
    const auto firstSpace = request.find(' ');
    const auto secondSpace = request.find(' ', firstSpace == std::string::npos ? 0 : firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) return;
    const std::string target = request.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(target);
    }

    const auto route = routes_.find(target);
    HttpResponse response =
        route != routes_.end()
            ? route->second
            : HttpResponse{.status = 404, .contentType = "text/plain", .body = "not found"};
    if (response.silent) {
        std::lock_guard lock(mutex_);
        held_.push_back(std::move(connection));
        return;
    }
    std::string reply =
        "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    reply += "Content-Type: " + response.contentType + "\r\n";
    if (!response.unannounced) reply += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    if (!response.location.empty()) reply += "Location: " + response.location + "\r\n";
    reply += "Connection: close\r\n\r\n" + response.body;
    sendAll(connection, reply);
}

}  // namespace lumo::test
