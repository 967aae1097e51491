#pragma once

#include <nlohmann/json.hpp>

namespace lumo::demo {

using Json = nlohmann::ordered_json;

// The "previously" and "added" members a game adds to `now` after it posted `before`: for each
// leaf that changed or went away its old value, for each member that appeared `true` in its
// place (whole new objects as trees of `true`). Null when nothing changed that way.
Json previouslyOf(const Json& before, const Json& now);
Json addedOf(const Json& before, const Json& now);

// The body a game sends for the state `now` after `before`: the state, then "previously" and
// "added" when they are not empty, indented with tabs as the games write it. A null `before`
// (the first post) gives the state alone.
std::string gameBody(const Json& before, const Json& now);

}  // namespace lumo::demo
