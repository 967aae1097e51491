// heroglow's game-state handler in-process with the recording SDK, over a run of posts (the
// input's NUL-separated pieces): only the bars and the assigned slot keys are painted, every
// lighting call has percentages and device groups the SDK takes, and the bitmap sent is the
// one painted.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

#include "dota_integration/bars.h"
#include "dota_integration/dota_options.h"
#include "dota_integration/game_state.h"
#include "gamestate/request_text.h"
#include "handler_checks.h"
#include "recording_sdk.h"

using namespace heroglow;

namespace {

recording_sdk::Recording* recording = nullptr;
CellSet mayLight{};

void checkCalls() {
    bool bitmapSent = false;
    for (const std::string& text : recording->calls) {
        const RecordedCall call = readCall(text);
        if (call.name == "LumoLedSetLighting") {
            checkPercentages(call, 0, 3);
        } else if (call.name == "LumoLedSetTargetDevice") {
            FUZZ_CHECK(call.arguments.size() == 1);
            const long long device = call.arguments[0];
            FUZZ_CHECK(device == lumo::sdk::kDevicesWithoutPerKey || device == lumo::sdk::kPerKeyDevices ||
                       device == lumo::sdk::kAllDevices);
        } else {
            FUZZ_CHECK(call.name == "LumoLedSetLightingFromBitmap");
            bitmapSent = true;
        }
    }
    if (bitmapSent) FUZZ_CHECK(recording->bitmap == keyBitmap);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    recording = &recording_sdk::bind();
    declareAndReadOptions();
    addCells(mayLight, kHealthOnTopRow.first, kHealthOnTopRow.count);
    addCells(mayLight, kHealthOnFunctionKeys.first, kHealthOnFunctionKeys.count);
    addCells(mayLight, kManaOnNumberRow.first, kManaOnNumberRow.count);
    addCells(mayLight, kManaOnDigits.first, kManaOnDigits.count);
    for (const int position : slotKeyPositions) addCells(mayLight, position, 1);
    // The handler's messages would drown libFuzzer's; a failed stream drops them unformatted.
    std::cout.setstate(std::ios_base::badbit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resetKeptGameState();
    for (const std::string& post : postsOf(data, size)) {
        const std::size_t jsonStart = post.find('{');
        if (jsonStart == std::string::npos) continue;  // the receiver hands over no text
        recording->calls.clear();
        recording->bitmap.fill(0);
        handleGameState(lumo::gamestate::widenRequestText(post.c_str() + jsonStart).c_str());

        checkBitmap(keyBitmap, mayLight);
        for (int cell = 0; cell < lumo::sdk::kBitmapKeys; ++cell)
            if (!mayLight[cell]) FUZZ_CHECK(keyBitmap[static_cast<std::size_t>(cell) * 4 + 3] == 0);
        checkCalls();
    }
    return 0;
}
