#include "sdk_service/key_table.h"

#include "lighting/keyboard_layout.h"

namespace lumo::sdk_service {

namespace {

std::optional<int> cellOf(const lumo::lighting::LayoutKey* key) {
    if (key == nullptr) return std::nullopt;
    return key->cell;
}

}  // namespace

std::optional<int> cellOfScanCode(int scanCode) { return cellOf(lumo::lighting::keyWithScanCode(scanCode)); }

std::optional<int> cellOfHidCode(int hidCode) { return cellOf(lumo::lighting::keyWithHidCode(hidCode)); }

}  // namespace lumo::sdk_service
