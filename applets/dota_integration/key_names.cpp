#include "dota_integration/key_names.h"

#include <algorithm>

#include "lighting/key_cells.h"

namespace heroglow {

int keyPositionForName(std::wstring_view name) {
    const auto table = lumo::lighting::keyCells();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [name](const lumo::lighting::KeyCell& key) { return name == key.name; });
    return found == table.end() ? 0 : found->cell;
}

}  // namespace heroglow
