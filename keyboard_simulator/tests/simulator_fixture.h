#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "lighting/lumo_sdk.h"

namespace lumo::simulator::test {

using Json = nlohmann::ordered_json;

// The built simulator library, opened once with dlopen as the binding opens it, and its
// exports looked up by name.
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
    std::filesystem::path folder;
    std::filesystem::path optionsPath;
    std::filesystem::path statePath;
    std::filesystem::path journalPath;

    // The name the simulator files this test program's options under.
    static std::string program();

    Json state() const;
    std::vector<Json> journal() const;
    Json options() const;
    // Writes the options file and dates it later than any earlier version, so the simulator
    // notices the change even within one tick of the file system's clock.
    void writeOptions(const std::string& text);
};

// Collects what is written to standard error (file descriptor 2) while it lives.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    std::string finish();

private:
    std::filesystem::path file_;
    int saved_ = -1;
};

std::string readText(const std::filesystem::path& file);
void writeText(const std::filesystem::path& file, const std::string& text);

}  // namespace lumo::simulator::test
