#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "lighting/lumo_sdk.h"

// In-process stand-ins for all 30 SDK exports, bound through the real binding. Each call is
// written down as text such as "LumoLedSetLighting(100,9,9)" or
// "LumoGetConfigOptionKeyInput(keybinds/ability0,Q,64,1)": the export's name and its
// arguments as received, wide text as UTF-8, bools as true/false, a bitmap as nothing and a
// key list as {k1,k2}. Every stand-in returns `result`; the option getters answer with the
// values a test put in `userValues` and leave the caller's value alone for other paths.
namespace recording_sdk {

struct UserValues {
    std::map<std::wstring, std::array<int, 3>> colors;
    std::map<std::wstring, bool> bools;
    std::map<std::wstring, double> numbers;  // for LumoGetConfigOptionNumber and ...Range
    std::map<std::wstring, std::wstring> keys;
    std::map<std::wstring, std::wstring> selections;
    std::map<std::wstring, std::array<int, 4>> rects;  // x, y, width, height
};

struct Recording {
    std::vector<std::string> calls;
    // The bitmap of the latest LumoLedSetLightingFromBitmap call; all zero before one.
    std::array<unsigned char, lumo::sdk::kBitmapBytes> bitmap{};
    UserValues userValues;
    bool result = true;
};

// Binds every stand-in but the export named `missing`, and clears the recording.
Recording& bind(std::string_view missing = {});
// Leaves the binding with nothing bound, as without an SDK.
void unbind();

// Red, green, blue, alpha of key `position` in `bitmap`.
std::array<int, 4> keyColor(const std::array<unsigned char, lumo::sdk::kBitmapBytes>& bitmap, int position);

}  // namespace recording_sdk
