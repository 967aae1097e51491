#pragma once

// Lights the keyboard from one Dota 2 game-state post: `text` is the NUL-terminated request
// text from its first '{', one wide character per byte received. Never throws.
void handleGameState(const wchar_t* text);
