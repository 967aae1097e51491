#pragma once

#include <string>

namespace lumo::gamestate {

// The request text widened one byte to one wide character of the same value (0x80 to 0xFF
// included), as the Windows runtime's mbstowcs does in the "C" locale. UTF-8 sequences are not
// decoded here; the game-state handler does that. A null `text` gives an empty string.
std::wstring widenRequestText(const char* text);

}  // namespace lumo::gamestate
