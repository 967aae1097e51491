#pragma once

#include "lighting/key_bitmap.h"

namespace heroglow {

// Lights the keyboard from one Dota 2 game-state post: `text` is the NUL-terminated request
// text from its first '{', one wide character per byte received. Never throws.
void handleGameState(const wchar_t* text);

// heroglow's one key bitmap, rebuilt for every post and sent to the SDK whole.
extern lumo::lighting::KeyBitmap keyBitmap;

// The dim colour shown outside a match, at start-up and for posts without "map".
void showIdleColor();

// What handleGameState carries from one post to the next to drive the low-health flash.
// Only posts that parse change it.
struct KeptGameState {
    bool flashPhase = true;     // the next flashing post is dark
    bool flashStopped = false;  // flashing suppressed after running too long
    int flashPostCount = 0;     // flashing posts in a row in which health did not rise
    int previousHealth = 0;
    bool previousHadMap = false;
};

extern KeptGameState keptGameState;

// Back to the values at process start.
void resetKeptGameState();

}  // namespace heroglow
