#include "game_post.h"

namespace lumo::demo {
namespace {

Json trueTree(const Json& value) {
    if (!value.is_object() || value.empty()) return true;
    Json tree = Json::object();
    for (const auto& [key, member] : value.items()) tree[key] = trueTree(member);
    return tree;
}

}  // namespace

Json previouslyOf(const Json& before, const Json& now) {
    Json previously = Json::object();
    for (const auto& [key, old] : before.items()) {
        if (!now.contains(key)) {
            previously[key] = old;
        } else if (old.is_object() && now[key].is_object()) {
            Json inner = previouslyOf(old, now[key]);
            if (!inner.is_null()) previously[key] = std::move(inner);
        } else if (old != now[key]) {
            previously[key] = old;
        }
    }
    return previously.empty() ? Json() : previously;
}

Json addedOf(const Json& before, const Json& now) {
    Json added = Json::object();
    for (const auto& [key, value] : now.items()) {
        if (!before.contains(key)) {
            added[key] = trueTree(value);
        } else if (before[key].is_object() && value.is_object()) {
            Json inner = addedOf(before[key], value);
            if (!inner.is_null()) added[key] = std::move(inner);
        }
    }
    return added.empty() ? Json() : added;
}

std::string gameBody(const Json& before, const Json& now) {
    Json body = now;
    if (before.is_null()) return body.dump(1, '\t');  // a first post carries no changes
    Json state = now;
    state.erase("provider");  // the provider's timestamp changes with every post
    Json earlier = before;
    earlier.erase("provider");
    if (Json previously = previouslyOf(earlier, state); !previously.is_null())
        body["previously"] = previously;
    if (Json added = addedOf(earlier, state); !added.is_null()) body["added"] = added;
    return body.dump(1, '\t');
}

}  // namespace lumo::demo
