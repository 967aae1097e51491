#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "lighting/lumo_sdk.h"

// In-process stand-ins for the SDK exports heroglow uses, bound through the real binding.
// Each call is written down as text such as "LumoLedSetLighting(100,9,9)" or
// "LumoGetConfigOptionKeyInput(keybinds/ability0,Q,64,1)" (arguments as received), and the
// option getters answer with the values a test put in `userValues`.
namespace recording_sdk {

struct UserValues {
    std::map<std::wstring, std::array<int, 3>> colors;
    std::map<std::wstring, bool> bools;
    std::map<std::wstring, double> numbers;
    std::map<std::wstring, std::wstring> keys;
};

struct Recording {
    std::vector<std::string> calls;
    // The bitmap of the latest LumoLedSetLightingFromBitmap call; all zero before one.
    std::array<unsigned char, lumo::sdk::kBitmapBytes> bitmap{};
    UserValues userValues;
};

// Binds the stand-ins and clears the recording and the user values.
Recording& bind();
// Leaves the binding with nothing bound, as without an SDK.
void unbind();

// Red, green, blue, alpha of key `position` in `bitmap`.
std::array<int, 4> keyColor(const std::array<unsigned char, lumo::sdk::kBitmapBytes>& bitmap, int position);

}  // namespace recording_sdk
