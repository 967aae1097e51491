#include "simulator_fixture.h"

#include <sstream>
#include <stdexcept>

#include "filesystem/operations.h"
#include "lighting/sdk_library.h"

namespace lumo::simulator::test {

namespace {

template <typename F>
void bind(void* handle, F*& entry, const char* name) {
    entry = reinterpret_cast<F*>(lumo::lighting::findExport(handle, name));
    if (entry == nullptr) throw std::runtime_error(std::string("missing export ") + name);
}

}  // namespace

const Sdk& Sdk::get() {
    static const Sdk loaded = [] {
        Sdk sdk;
        sdk.handle = openLibrary(KEYBOARD_SIMULATOR_LIBRARY);
#define LUMO_BIND(name) bind(sdk.handle, sdk.name, #name)
        LUMO_BIND(LumoLedInit);
        LUMO_BIND(LumoLedInitWithName);
        LUMO_BIND(LumoGetConfigOptionNumber);
        LUMO_BIND(LumoGetConfigOptionBool);
        LUMO_BIND(LumoGetConfigOptionColor);
        LUMO_BIND(LumoGetConfigOptionKeyInput);
        LUMO_BIND(LumoSetConfigOptionLabel);
        LUMO_BIND(LumoLedSaveCurrentLighting);
        LUMO_BIND(LumoLedSetTargetDevice);
        LUMO_BIND(LumoLedSetLighting);
        LUMO_BIND(LumoLedRestoreLighting);
        LUMO_BIND(LumoLedFlashLighting);
        LUMO_BIND(LumoLedPulseLighting);
        LUMO_BIND(LumoLedSetLightingFromBitmap);
        LUMO_BIND(LumoLedExcludeKeysFromBitmap);
        LUMO_BIND(LumoLedSetLightingForKeyWithScanCode);
        LUMO_BIND(LumoLedSetLightingForKeyWithHidCode);
        LUMO_BIND(LumoLedPulseSingleKey);
        LUMO_BIND(LumoLedFlashSingleKey);
        LUMO_BIND(LumoLedStopEffectsOnKey);
        LUMO_BIND(LumoLedSaveLightingForKey);
        LUMO_BIND(LumoLedRestoreLightingForKey);
        LUMO_BIND(LumoLedStopEffects);
        LUMO_BIND(LumoLedShutdown);
#undef LUMO_BIND
        return sdk;
    }();
    return loaded;
}

void SimulatorTest::SetUp() {
    // Earlier tests in this process leave their lighting behind; start from a fresh keyboard,
    // before the files of this test are named.
    sdk.LumoLedShutdown();
    options_.emplace("LUMO_OPTIONS", optionsPath.string());
    state_.emplace("LUMO_SIM_STATE", statePath.string());
    journal_.emplace("LUMO_SIM_JOURNAL", journalPath.string());
    ASSERT_TRUE(sdk.LumoLedInit());
}

void SimulatorTest::TearDown() {
    options_.reset();
    state_.reset();
    journal_.reset();
    // Closes the journal so the folder can go.
    sdk.LumoLedStopEffects();
}

std::string SimulatorTest::program() {
    // The simulator keeps options under the executable's base name, without ".exe".
    return std::filesystem::path(lumo::filesystem::executable_path().wstring()).stem().string();
}

Json SimulatorTest::state() const { return Json::parse(lumo::test::readFile(statePath)); }

std::vector<Json> SimulatorTest::journal() const {
    std::vector<Json> lines;
    std::istringstream text(lumo::test::readFile(journalPath));
    for (std::string line; std::getline(text, line);) lines.push_back(Json::parse(line));
    return lines;
}

Json SimulatorTest::options() const { return Json::parse(lumo::test::readFile(optionsPath)); }

std::string StderrCapture::finish() {
    if (capturing_) {
        captured_ = testing::internal::GetCapturedStderr();
        capturing_ = false;
    }
    return captured_;
}

}  // namespace lumo::simulator::test
