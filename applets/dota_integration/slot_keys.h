#pragma once

#include <nlohmann/json.hpp>

#include "lighting/key_bitmap.h"

namespace heroglow {

// The keys of the hero's first four abilities and six inventory items: the team colour when
// ready, the cooldown colour while cooling down or when passive.

inline constexpr const char* kAbilitySlotNames[] = {"ability0", "ability1", "ability2", "ability3"};
inline constexpr const char* kItemSlotNames[] = {"slot0", "slot1", "slot2", "slot3", "slot4", "slot5"};
inline constexpr int kAbilitySlotCount = 4;
inline constexpr int kItemSlotCount = 6;

// Paints the key at `keyPosition` for one ability or item object: ready ("cooldown" 0 and
// "passive" false) in the team colour percentages red, green, blue; otherwise in the
// "colors/cooldown" option colour. A missing "passive" counts as passive.
void paintSlotKey(lumo::lighting::KeyBitmap& bitmap, int keyPosition, nlohmann::json slot, int red, int green,
                  int blue);

// The ability pass over the post's "abilities" object: learned abilities (level > 0) among
// ability0-3 are painted at their assigned keys. Painted slots are moved out of `abilities`.
void paintAbilityKeys(lumo::lighting::KeyBitmap& bitmap, nlohmann::json& abilities, int red, int green,
                      int blue);

// The item pass over the post's "items" object: slot0-5 holding an item other than "empty"
// are painted at their assigned keys. Painted slots are moved out of `items`.
void paintItemKeys(lumo::lighting::KeyBitmap& bitmap, nlohmann::json& items, int red, int green, int blue);

}  // namespace heroglow
