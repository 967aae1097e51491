#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo::session {

// One post of a recorded session: when it came (seconds since the session's first post), its
// body as the game sent it, and its request headers when they were recorded.
struct SessionPost {
    double t = 0.0;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// The session file line of `post`: {"t": ..., "body": "...", "headers": {...}} on one line,
// "headers" only when there are any. Bytes of the body that are not UTF-8 become U+FFFD.
std::string sessionLine(const SessionPost& post);

// The posts of a session file's text, blank lines skipped. Throws std::runtime_error naming
// the line when a line is not such an object ("t" a number not below 0, "body" a string,
// "headers" an object of strings when present).
std::vector<SessionPost> parseSession(std::string_view text);
// parseSession of the whole file; throws std::runtime_error when it cannot be read.
std::vector<SessionPost> readSession(const std::filesystem::path& file);

// The app id a game names in the post's "provider" (570 Dota 2, 730 Counter-Strike), or none.
std::optional<int> providerAppId(const std::string& body);
// The port the program for that game listens on: heroglow's 3002 for Dota 2, roundglow's 5000
// for Counter-Strike; none for other games.
std::optional<std::uint16_t> programPortFor(int appId);
// The other way: the app id of the game whose program listens on `port`, or none.
std::optional<int> appIdForPort(std::uint16_t port);

// The headers the game's HTTP client sends before `body` besides Host and Content-Length,
// for the game with `appId`.
std::vector<std::pair<std::string, std::string>> gameHeaders(int appId);

}  // namespace lumo::session
