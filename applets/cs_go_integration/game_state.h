#pragma once

#include "lighting/key_bitmap.h"
#include "lighting/option_values.h"

namespace roundglow {

// Lights the keyboard from one Counter-Strike game-state post. `text` points at the first '{'
// of the NUL-terminated request text, or is null when the request held none. Prints "content null", "Bad JSON received" or "The root
// element is not an object" for posts it cannot use. Never throws.
void handleGameState(const char* text);

// What the player is doing, as the last post's "activity" said.
enum class Activity { unknown, playing, chatOpen, menu };

// The whole-keyboard effect running. Later ones take precedence: see outranks.
enum class Effect { none, ammoPulse, healthPulse, winPulse, chatFlash };

// The one precedence rule of the effects: `challenger` may replace `running` only when it
// comes later in Effect's list.
constexpr bool outranks(Effect challenger, Effect running) {
    return static_cast<int>(challenger) > static_cast<int>(running);
}

// What roundglow carries from one post to the next.
struct KeptGameState {
    lumo::lighting::OptionColor teamColor{255, 255, 255};
    bool sideIsT = false;    // the last side seen was "T"
    bool teamKnown = false;  // the current post named side "T" or "CT"
    bool repaint = false;    // the game keys of the key bitmap must be recomputed
    Activity activity = Activity::unknown;
    Effect effect = Effect::none;
    bool blinkPhase = false;  // toggled by every post with a "round"
    bool bombShown = false;   // the bomb block shows a planted bomb
    bool bombPhase = false;   // the bomb block is red in this phase
    int bombCounter = 0;      // posts since the bomb phase last changed
    int bombPeriod = 1;       // posts between bomb phase changes
};

extern KeptGameState kept;

// roundglow's key bitmap; never cleared as a whole except when the game keys are repainted.
extern lumo::lighting::KeyBitmap keyBitmap;

// Back to the values at process start.
void resetKeptGameState();

}  // namespace roundglow
