#pragma once

#include <string_view>

namespace heroglow {

// The key names that the key-input options can hand back, with their positions in the key
// bitmap (row * 21 + column). Only these keys can carry an ability or item.

// The position of `name` among lumo::lighting::keyCells(); 0 (the key left of F1) for a name
// the table does not know.
int keyPositionForName(std::wstring_view name);

// Room for the longest name in the table plus its terminator, with a margin.
inline constexpr int kKeyNameCapacity = 16;

}  // namespace heroglow
