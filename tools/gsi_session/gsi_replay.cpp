// gsi-replay: posts a recorded session to a program as the game does.
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "session.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kConnectRetry = 100ms;
constexpr auto kConnectPatience = 15s;  // a program that is still starting up
constexpr auto kReadTimeout = 10s;
constexpr auto kLoopPause = 1s;  // between the end of a session and its next round
constexpr const char* kContentType = "application/json";

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

struct Options {
    std::string file;
    std::optional<std::uint16_t> port;
    double speed = 1.0;
    bool loop = false;
};

int usage() {
    std::cerr << "usage: gsi-replay FILE [--port N] [--speed X] [--loop]\n"
                 "  Posts each body of the session FILE to 127.0.0.1 at its recorded pace (divided\n"
                 "  by X), with the game's headers. Without --port the port of the program for the\n"
                 "  game named in the posts' provider (3002 Dota 2, 5000 Counter-Strike).\n";
    return 2;
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--port" && hasValue) {
            const long port = std::strtol(argv[++i], nullptr, 10);
            if (port <= 0 || port > 65535) return std::nullopt;
            options.port = static_cast<std::uint16_t>(port);
        } else if (argument == "--speed" && hasValue) {
            options.speed = std::strtod(argv[++i], nullptr);
            if (!(options.speed > 0)) return std::nullopt;
        } else if (argument == "--loop") {
            options.loop = true;
        } else if (argument.starts_with("--") || !options.file.empty()) {
            return std::nullopt;
        } else {
            options.file = argument;
        }
    }
    if (options.file.empty()) return std::nullopt;
    return options;
}

bool sameName(const std::string& name, const std::string& other) {
    const httplib::detail::ci lessThan;
    return !lessThan(name, other) && !lessThan(other, name);
}

// Headers the client writes itself from the request it sends.
bool isFramingHeader(const std::string& name) {
    return sameName(name, "Host") || sameName(name, "Content-Length") || sameName(name, "Connection") ||
           sameName(name, "Content-Type");
}

// The request's headers: those recorded with the post, else the ones the game sends.
httplib::Headers headersFor(const lumo::session::SessionPost& post, int appId) {
    httplib::Headers headers;
    if (post.headers.empty()) {
        for (const auto& [name, value] : lumo::session::gameHeaders(appId)) headers.emplace(name, value);
        return headers;
    }
    for (const auto& [name, value] : post.headers)
        if (!isFramingHeader(name)) headers.emplace(name, value);
    return headers;
}

std::string contentTypeOf(const lumo::session::SessionPost& post) {
    for (const auto& [name, value] : post.headers)
        if (sameName(name, "Content-Type")) return value;
    return kContentType;
}

// One connection per post, as the game does, and back only when the program has closed it
// (the programs never answer) or answered.
bool send(const lumo::session::SessionPost& post, std::uint16_t port, int appId) {
    const Clock::time_point giveUp = Clock::now() + kConnectPatience;
    while (stopRequested == 0) {
        httplib::Client client("127.0.0.1", port);
        client.set_keep_alive(false);
        client.set_decompress(false);
        client.set_read_timeout(std::chrono::duration_cast<std::chrono::seconds>(kReadTimeout).count(), 0);
        const httplib::Result result =
            client.Post("/", headersFor(post, appId), post.body, contentTypeOf(post).c_str());
        if (result || result.error() == httplib::Error::Read) return true;
        if (result.error() != httplib::Error::Connection || Clock::now() >= giveUp) {
            std::cerr << "gsi-replay: posting to 127.0.0.1:" << port
                      << " failed: " << httplib::to_string(result.error()) << "\n";
            return false;
        }
        std::this_thread::sleep_for(kConnectRetry);
    }
    return false;
}

// When a post recorded at `t` seconds is due at `speed`, from the session's start; kept within
// what the clock can count however slow the speed.
Clock::duration delayOf(double t, double speed) {
    constexpr double kLongest = 1e7;
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(std::min(t / speed, kLongest)));
}

void sleepUntil(Clock::time_point when) {
    while (stopRequested == 0 && Clock::now() < when)
        std::this_thread::sleep_for(std::min<Clock::duration>(when - Clock::now(), 100ms));
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) return usage();
    std::vector<lumo::session::SessionPost> posts;
    try {
        posts = lumo::session::readSession(options->file);
    } catch (const std::exception& error) {
        std::cerr << "gsi-replay: " << options->file << ": " << error.what() << "\n";
        return 1;
    }
    std::optional<int> appId;
    for (const auto& post : posts)
        if ((appId = lumo::session::providerAppId(post.body))) break;
    std::optional<std::uint16_t> port = options->port;
    if (!port && appId) port = lumo::session::programPortFor(*appId);
    if (!port) {
        std::cerr << "gsi-replay: the session names no game I know a port for; give --port\n";
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a program that closes early must not end the replay

    // Without a provider the user agent names the game whose program has the port
    // (Counter-Strike for any other).
    const int userAgentAppId = appId.value_or(lumo::session::appIdForPort(*port).value_or(730));
    do {
        const Clock::time_point start = Clock::now();
        for (const auto& post : posts) {
            sleepUntil(start + delayOf(post.t, options->speed));
            if (stopRequested != 0) return 0;
            if (!send(post, *port, userAgentAppId)) return 1;
        }
        if (options->loop) sleepUntil(Clock::now() + kLoopPause);
    } while (options->loop && stopRequested == 0);
    return 0;
}
