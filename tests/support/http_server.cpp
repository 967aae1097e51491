#include "http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "loopback.h"

namespace lumo::test {

namespace {

constexpr int kPollMilliseconds = 50;
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
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0) ::close(listener_);
        throw std::runtime_error("cannot open the test HTTP server");
    }
    port_ = ntohs(address.sin_port);
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
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    for (int fd : held_) ::close(fd);
    held_.clear();
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
}

void LoopbackHttpServer::serve() {
    while (!stopping_) {
        pollfd entry{listener_, POLLIN, 0};
        if (::poll(&entry, 1, kPollMilliseconds) <= 0) continue;
        const int connection = ::accept(listener_, nullptr, nullptr);
        if (connection >= 0) answer(connection);
    }
}

void LoopbackHttpServer::answer(int connection) {
    // Read the request head; bodies are not expected (the client only GETs).
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + kRequestTimeout;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes && !stopping_ &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd entry{connection, POLLIN, 0};
        if (::poll(&entry, 1, kPollMilliseconds) <= 0) continue;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
    }

    // "GET /target HTTP/1.1"
    const auto firstSpace = request.find(' ');
    const auto secondSpace = request.find(' ', firstSpace == std::string::npos ? 0 : firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) {
        ::close(connection);
        return;
    }
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
        held_.push_back(connection);
        return;
    }
    std::string reply =
        "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    reply += "Content-Type: " + response.contentType + "\r\n";
    reply += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    if (!response.location.empty()) reply += "Location: " + response.location + "\r\n";
    reply += "Connection: close\r\n\r\n" + response.body;
    sendAll(connection, reply);
    ::close(connection);
}

}  // namespace lumo::test
