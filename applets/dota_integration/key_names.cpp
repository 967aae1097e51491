#include "dota_integration/key_names.h"

#include <algorithm>

namespace heroglow {

std::span<const KeyName> keyNameTable() { return lumo::lighting::keyCells(); }

int keyPositionForName(std::wstring_view name) {
    const auto table = keyNameTable();
    const auto found =
        std::find_if(table.begin(), table.end(), [name](const KeyName& key) { return name == key.name; });
    return found == table.end() ? 0 : found->cell;
}

}  // namespace heroglow
