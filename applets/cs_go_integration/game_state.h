#pragma once

#include <chrono>
#include <cstdint>

#include "lighting/key_bitmap.h"
#include "lighting/option_values.h"

namespace roundglow {

// Lights the keyboard from one Counter-Strike game-state post. `text` points at the first '{'
// of the NUL-terminated request text, or is null when the request held none; `received` is
// the byte count of the whole request. Prints "content null", "Bad JSON received" or "The root
// element is not an object" for posts it cannot use. Never throws.
void handleGameState(const char* text, std::int64_t received);

// What roundglow carries from one post to the next.
struct KeptGameState {
    lumo::lighting::OptionColor teamColor{255, 255, 255};
    bool sideIsT = false;    // the last side seen was "T"
    bool teamKnown = false;  // the current post named side "T" or "CT"
    bool repaint = false;    // the game keys of the key bitmap must be recomputed
    int activityMode = 0;    // 0 unknown, 1 playing, 2 chat line open, 3 menu
    // The whole-keyboard effect running, in order of precedence: 0 none, 1 ammunition pulse,
    // 2 health pulse, 3 winning-team pulse, 4 chat flash.
    int effectKind = 0;
    bool blinkPhase = false;  // toggled by every post with a "round"
    bool bombShown = false;   // the bomb block shows a planted bomb
    bool bombPhase = false;   // the bomb block is red in this phase
    int bombCounter = 0;      // posts since the bomb phase last changed
    int bombPeriod = 1;       // posts between bomb phase changes
};

extern KeptGameState kept;

// roundglow's key bitmap; never cleared as a whole except when the game keys are repainted.
extern lumo::lighting::KeyBitmap keyBitmap;

// How long stopping the effects waits for the SDK to settle (200 ms); benchmarks set 0.
extern std::chrono::milliseconds effectStopPause;

// Back to the values at process start.
void resetKeptGameState();

}  // namespace roundglow
