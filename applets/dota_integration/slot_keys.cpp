#include "dota_integration/slot_keys.h"

#include <utility>

#include "lighting/color_levels.h"
#include "dota_integration/dota_options.h"
#include "gamestate/json_members.h"
#include "lighting/key_bitmap.h"

namespace heroglow {

using lumo::gamestate::boolMember;
using lumo::gamestate::findMember;
using lumo::gamestate::intMember;
using lumo::gamestate::stringMember;
using lumo::lighting::byteFromPercent;
using lumo::lighting::paintCell;

void paintSlotKey(lumo::lighting::KeyBitmap& bitmap, int keyPosition, nlohmann::json slot, int red, int green,
                  int blue) {
    const bool passive = boolMember(slot, "passive", true);
    const int cooldown = intMember(slot, "cooldown", 0);
    if (cooldown == 0 && !passive) {
        paintCell(bitmap, keyPosition, byteFromPercent(red), byteFromPercent(green), byteFromPercent(blue));
    } else {
        paintCell(bitmap, keyPosition, options::cooldown.red, options::cooldown.green,
                  options::cooldown.blue);
    }
}

void paintAbilityKeys(lumo::lighting::KeyBitmap& bitmap, nlohmann::json& abilities, int red, int green,
                      int blue) {
    for (int k = 0; k < kAbilitySlotCount; ++k) {
        nlohmann::json* ability = findMember(abilities, kAbilitySlotNames[k]);
        if (ability == nullptr || intMember(*ability, "level", 0) <= 0) {
            continue;
        }
        // The post is dropped after painting, so the slot can be handed over instead of copied.
        paintSlotKey(bitmap, slotKeyPositions[k], std::move(*ability), red, green, blue);
    }
}

void paintItemKeys(lumo::lighting::KeyBitmap& bitmap, nlohmann::json& items, int red, int green, int blue) {
    for (int k = 0; k < kItemSlotCount; ++k) {
        nlohmann::json* item = findMember(items, kItemSlotNames[k]);
        if (item == nullptr || stringMember(*item, "name", "empty") == "empty") {
            continue;
        }
        paintSlotKey(bitmap, slotKeyPositions[kAbilitySlotCount + k], std::move(*item), red, green, blue);
    }
}

}  // namespace heroglow
