#pragma once

#include <span>
#include <string_view>

#include "lighting/key_cells.h"

namespace heroglow {

// The key names that the key-input options can hand back, with their positions in the key
// bitmap (row * 21 + column). Only these keys can carry an ability or item.

using KeyName = lumo::lighting::KeyCell;

// All 44 known names, number row first.
std::span<const KeyName> keyNameTable();

// The position of `name`; 0 (the key left of F1) for a name the table does not know.
int keyPositionForName(std::wstring_view name);

// Room for the longest name in the table plus its terminator, with a margin.
inline constexpr int kKeyNameCapacity = 16;

}  // namespace heroglow
