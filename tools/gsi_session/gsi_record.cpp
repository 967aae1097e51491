// gsi-record: takes a game's posts on a port and appends them to a session file.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "session.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

int usage() {
    std::cerr << "usage: gsi-record --port N FILE\n"
                 "  Listens on 127.0.0.1:N, answers each POST with 200 OK and appends its body,\n"
                 "  time and headers to the session FILE.\n";
    return 2;
}

// The library adds the peer's address as headers of its own.
bool isAddedByTheServer(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

class Recorder {
public:
    explicit Recorder(const std::string& file) : out_(file, std::ios::binary | std::ios::app) {}
    bool good() const { return out_.good(); }

    void record(const httplib::Request& request) {
        std::lock_guard<std::mutex> lock(mutex_);
        const Clock::time_point now = Clock::now();
        if (!first_) first_ = now;
        lumo::session::SessionPost post;
        // Milliseconds are all a game's pace needs.
        post.t = std::chrono::duration_cast<std::chrono::milliseconds>(now - *first_).count() / 1000.0;
        post.body = request.body;
        for (const auto& [name, value] : request.headers)
            if (!isAddedByTheServer(name)) post.headers.emplace_back(name, value);
        out_ << lumo::session::sessionLine(post) << '\n' << std::flush;
    }

private:
    std::mutex mutex_;
    std::ofstream out_;
    std::optional<Clock::time_point> first_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::string(argv[1]) != "--port") return usage();
    const long port = std::strtol(argv[2], nullptr, 10);
    if (port <= 0 || port > 65535) return usage();
    Recorder recorder(argv[3]);
    if (!recorder.good()) {
        std::cerr << "gsi-record: cannot write " << argv[3] << "\n";
        return 1;
    }

    httplib::Server server;
    server.Post(".*", [&](const httplib::Request& request, httplib::Response& response) {
        recorder.record(request);
        response.status = 200;
        response.set_content("", "text/html");
    });
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // The server cannot be stopped from a signal handler; a watcher stops it instead.
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        while (stopRequested == 0 && !done) std::this_thread::sleep_for(100ms);
        server.stop();
    });
    if (!server.bind_to_port("127.0.0.1", static_cast<int>(port))) {
        std::cerr << "gsi-record: cannot listen on 127.0.0.1:" << port << "\n";
        done = true;
        watcher.join();
        return 1;
    }
    std::cout << "recording posts to 127.0.0.1:" << port << " in " << argv[3] << std::endl;
    server.listen_after_bind();
    done = true;
    watcher.join();
    return 0;
}
