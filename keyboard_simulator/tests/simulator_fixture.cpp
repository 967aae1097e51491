#include "simulator_fixture.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lumo::simulator::test {

namespace {

template <typename F>
void bind(void* handle, F*& entry, const char* name) {
    entry = reinterpret_cast<F*>(dlsym(handle, name));
    if (entry == nullptr) throw std::runtime_error(std::string("missing export ") + name);
}

std::filesystem::path makeTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "keyboard-simulator-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

}  // namespace

const Sdk& Sdk::get() {
    static const Sdk loaded = [] {
        Sdk sdk;
        sdk.handle = dlopen(KEYBOARD_SIMULATOR_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (sdk.handle == nullptr) throw std::runtime_error(dlerror());
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
    folder = makeTemporaryFolder();
    optionsPath = folder / "config" / "options.json";
    statePath = folder / "state.json";
    journalPath = folder / "journal.jsonl";
    setenv("LUMO_OPTIONS", optionsPath.c_str(), 1);
    setenv("LUMO_SIM_STATE", statePath.c_str(), 1);
    setenv("LUMO_SIM_JOURNAL", journalPath.c_str(), 1);
    ASSERT_TRUE(sdk.LumoLedInit());
}

void SimulatorTest::TearDown() {
    unsetenv("LUMO_OPTIONS");
    unsetenv("LUMO_SIM_STATE");
    unsetenv("LUMO_SIM_JOURNAL");
    // Closes the journal so the folder can go.
    sdk.LumoLedStopEffects();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string SimulatorTest::program() {
    return std::filesystem::read_symlink("/proc/self/exe").filename().string();
}

Json SimulatorTest::state() const { return Json::parse(readText(statePath)); }

std::vector<Json> SimulatorTest::journal() const {
    std::vector<Json> lines;
    std::istringstream text(readText(journalPath));
    for (std::string line; std::getline(text, line);) lines.push_back(Json::parse(line));
    return lines;
}

Json SimulatorTest::options() const { return Json::parse(readText(optionsPath)); }

void SimulatorTest::writeOptions(const std::string& text) {
    static long long seconds = 2'000'000'000;
    writeText(optionsPath, text);
    timespec times[2] = {{++seconds, 0}, {seconds, 0}};
    if (utimensat(AT_FDCWD, optionsPath.c_str(), times, 0) != 0) throw std::runtime_error("utimensat failed");
}

StderrCapture::StderrCapture() {
    char name[] = "/tmp/keyboard-simulator-stderr-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    file_ = name;
    std::fflush(stderr);
    saved_ = dup(2);
    dup2(fd, 2);
    close(fd);
}

StderrCapture::~StderrCapture() {
    finish();
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
}

std::string StderrCapture::finish() {
    if (saved_ >= 0) {
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }
    return readText(file_);
}

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace lumo::simulator::test
