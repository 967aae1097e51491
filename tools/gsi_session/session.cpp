#include "session.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "games/games.h"

namespace lumo::session {
namespace {

using Json = nlohmann::ordered_json;


SessionPost postOf(const Json& line) {
    if (!line.is_object()) throw std::invalid_argument("not an object");
    const Json& t = line.at("t");
    constexpr double kLongest = 1e7;  // seconds; longer than any game
    if (!t.is_number() || t.get<double>() < 0 || t.get<double>() > kLongest)
        throw std::invalid_argument("\"t\" is not a time");
    SessionPost post;
    post.t = t.get<double>();
    post.body = line.at("body").get<std::string>();
    if (line.contains("headers")) {
        for (const auto& [name, value] : line["headers"].items())
            post.headers.emplace_back(name, value.get<std::string>());
    }
    return post;
}

}  // namespace

std::string sessionLine(const SessionPost& post) {
    Json line;
    line["t"] = post.t;
    line["body"] = post.body;
    if (!post.headers.empty()) {
        Json headers = Json::object();
        for (const auto& [name, value] : post.headers) headers[name] = value;
        line["headers"] = std::move(headers);
    }
    return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::vector<SessionPost> parseSession(std::string_view text) {
    std::vector<SessionPost> posts;
    std::istringstream lines{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        try {
            posts.push_back(postOf(Json::parse(line)));
        } catch (const std::exception& error) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + error.what());
        }
    }
    return posts;
}

std::vector<SessionPost> readSession(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    return parseSession(text.str());
}

std::optional<int> providerAppId(const std::string& body) {
    try {
        const Json root = Json::parse(body);
        const Json& appId = root.at("provider").at("appid");
        if (appId.is_number_integer()) return appId.get<int>();
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<std::uint16_t> programPortFor(int appId) {
    for (const games::Game& game : games::all()) {
        if (game.appId == std::to_string(appId)) return game.port;
    }
    return std::nullopt;
}

std::optional<int> appIdForPort(std::uint16_t port) {
    for (const games::Game& game : games::all()) {
        if (game.port == port) return std::stoi(std::string(game.appId));
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> gameHeaders(int appId) {
    return {
        {"user-agent", "Valve/Steam HTTP Client 1.0 (" + std::to_string(appId) + ")"},
        {"Accept", "text/html,*/*;q=0.9"},
        {"accept-encoding", "gzip,identity,*;q=0"},
        {"accept-charset", "ISO-8859-1,utf-8,*;q=0.7"},
    };
}

}  // namespace lumo::session
