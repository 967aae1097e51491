#pragma once

#include <span>

namespace lumo::lighting {

// The keys the programs can light one by one, with their cells in the key bitmap (row * 21 +
// column): the number row from "`" to "0", the letters, ",", ".", and TAB, SHIFT, CTRL, ALT,
// SPACE. Letters are upper case here; each program spells them as its input does.
struct KeyCell {
    const wchar_t* name;
    int cell;
};

// All 44 keys, number row first.
std::span<const KeyCell> keyCells();

}  // namespace lumo::lighting
