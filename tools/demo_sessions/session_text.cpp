#include "demo_sessions.h"

#include <cmath>

#include "session.h"

namespace lumo::demo {

void Session::add(double t, const Json& state) {
    lumo::session::SessionPost post;
    post.t = std::round(t * 1000.0) / 1000.0;
    post.body = gameBody(last_, state);
    lines_.push_back(lumo::session::sessionLine(post));
    last_ = state;
}

std::string Session::text() const {
    std::string text;
    for (const std::string& line : lines_) text += line + '\n';
    return text;
}

}  // namespace lumo::demo
