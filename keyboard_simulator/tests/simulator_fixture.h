#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "environment.h"
#include "files.h"
#include "lighting/lumo_sdk.h"

namespace lumo::simulator::test {

using Json = nlohmann::ordered_json;

// The built simulator library, opened once as a program opens a library (without the
// binding's signature check), and its exports looked up by name.
struct Sdk {
    static const Sdk& get();
    void* handle = nullptr;

    sdk::LedInit* LumoLedInit;
    sdk::LedInitWithName* LumoLedInitWithName;
    sdk::GetConfigOptionNumber* LumoGetConfigOptionNumber;
    sdk::GetConfigOptionBool* LumoGetConfigOptionBool;
    sdk::GetConfigOptionColor* LumoGetConfigOptionColor;
    sdk::GetConfigOptionKeyInput* LumoGetConfigOptionKeyInput;
    sdk::SetConfigOptionLabel* LumoSetConfigOptionLabel;
    sdk::LedSaveCurrentLighting* LumoLedSaveCurrentLighting;
    sdk::LedSetTargetDevice* LumoLedSetTargetDevice;
    sdk::LedSetLighting* LumoLedSetLighting;
    sdk::LedRestoreLighting* LumoLedRestoreLighting;
    sdk::LedFlashLighting* LumoLedFlashLighting;
    sdk::LedPulseLighting* LumoLedPulseLighting;
    sdk::LedSetLightingFromBitmap* LumoLedSetLightingFromBitmap;
    sdk::LedExcludeKeysFromBitmap* LumoLedExcludeKeysFromBitmap;
    sdk::LedSetLightingForKeyWithScanCode* LumoLedSetLightingForKeyWithScanCode;
    sdk::LedSetLightingForKeyWithHidCode* LumoLedSetLightingForKeyWithHidCode;
    sdk::LedPulseSingleKey* LumoLedPulseSingleKey;
    sdk::LedFlashSingleKey* LumoLedFlashSingleKey;
    sdk::LedStopEffectsOnKey* LumoLedStopEffectsOnKey;
    sdk::LedSaveLightingForKey* LumoLedSaveLightingForKey;
    sdk::LedRestoreLightingForKey* LumoLedRestoreLightingForKey;
    sdk::LedStopEffects* LumoLedStopEffects;
    sdk::LedShutdown* LumoLedShutdown;
};

// Each test gets its own folder for the options, state and journal files, named through the
// environment, and a freshly initialised keyboard.
class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const Sdk& sdk = Sdk::get();
    lumo::test::TempFolder temp_{"keyboard-simulator"};
    const std::filesystem::path folder = temp_.path();
    const std::filesystem::path optionsPath = folder / "config" / "options.json";
    const std::filesystem::path statePath = folder / "state.json";
    const std::filesystem::path journalPath = folder / "journal.jsonl";

    // The name the simulator files this test program's options under.
    static std::string program();

    Json state() const;
    std::vector<Json> journal() const;
    Json options() const;
    // Writes the options file and dates it later than the version before, so the simulator
    // notices the change even within one tick of the file system's clock.
    void writeOptions(const std::string& text) { lumo::test::writeFileDatedLater(optionsPath, text); }

private:
    std::optional<lumo::test::ScopedEnvironment> options_, state_, journal_;
};

// Collects what is written to standard error while it lives.
class StderrCapture {
public:
    StderrCapture() { testing::internal::CaptureStderr(); }
    ~StderrCapture() { finish(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    // What was written so far; ends the capture.
    std::string finish();

private:
    bool capturing_ = true;
    std::string captured_;
};

// Opens the library at `path` (UTF-8) as a program would, without checks; throws
// std::runtime_error when it cannot be loaded.
void* openLibrary(const std::string& path);

}  // namespace lumo::simulator::test
