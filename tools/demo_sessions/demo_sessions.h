#pragma once

#include <string>
#include <vector>

#include "game_post.h"

namespace lumo::demo {

// A session being written: each post's time and the body the game sends for it.
class Session {
public:
    // Adds the post of the full state `state` at `t` seconds; its body carries what changed
    // since the post before.
    void add(double t, const Json& state);
    // The session file's text, one line a post.
    std::string text() const;

private:
    std::vector<std::string> lines_;
    Json last_;
};

// About two minutes of Dota 2: hero selection, the match starting, abilities and items on
// cooldown, health falling into the flash and recovering, a death and respawn, the match end
// and the menu.
Session dotaMatch();
// A round of Counter-Strike 2 on the Terrorist side: freeze time and buying, a fight with
// health and ammunition falling, a reload, the bomb planted, the chat line opened and closed,
// the round won, then the pause menu.
Session counterStrikeRound();

}  // namespace lumo::demo
