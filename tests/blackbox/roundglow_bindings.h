#pragma once

// What roundglow's binding tests share: the game's folder name, the keys they look at, and how
// to see which keys a run lights.
#include <array>
#include <string>

#include <nlohmann/json.hpp>

#include "fake_steam.h"
#include "program_run.h"

namespace lumo::test {

inline constexpr const char* kInstallDir = "Counter-Strike Global Offensive";
// Cells of the keys the tests look at.
inline constexpr int kW = 44, kR = 46, kI = 50, kX = 87, kG = 68, kC = 88, kSpace = 110, kCtrl = 105,
                     kThree = 24, kA = 64;
inline constexpr std::array<int, 3> kDark{0, 0, 0};
inline constexpr std::array<int, 3> kTerrorist{163, 86, 0};

inline const std::string kSidePost = R"({"player": {"team": "T", "activity": "playing"}})";

// Two side posts: the first repaints the key image, the second pushes it to the keyboard.
inline nlohmann::json litKeys(ProgramRun& run) {
    run.post(kSidePost);
    run.post(kSidePost);
    return run.keyboard();
}

inline bool lit(const nlohmann::json& keyboard, int cell) { return keyColor(keyboard, cell) == kTerrorist; }

}  // namespace lumo::test
