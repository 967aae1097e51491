#pragma once

// A setting of the game-state handler for its tests, fuzzer and benchmark only.

#include <chrono>

namespace roundglow {

// How long stopping the effects waits for the SDK to settle (200 ms); benchmarks set 0.
extern std::chrono::milliseconds effectStopPause;

}  // namespace roundglow
