#include "program_run.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "environment.h"
#include "program_platform.h"
#include "text.h"

namespace lumo::test {

namespace {

constexpr auto kPollInterval = 20ms;
constexpr auto kPostTimeout = 10s;
constexpr auto kStopGrace = 2s;
constexpr const char* kItemFeedVariable = "HEROGLOW_ITEM_FEED_URL";
constexpr const char* kRefusedItemFeed = "http://127.0.0.1:9/";
// What a sanitized program writes when it finds a fault.
constexpr const char* kSanitizerFindings[] = {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                                              "runtime error:", "WARNING: ThreadSanitizer"};

std::filesystem::path stdoutFile(const std::filesystem::path& folder) { return folder / "stdout.txt"; }
std::filesystem::path stderrFile(const std::filesystem::path& folder) { return folder / "stderr.txt"; }
std::filesystem::path stateFile(const std::filesystem::path& folder) { return folder / "state.json"; }
std::filesystem::path journalFile(const std::filesystem::path& folder) { return folder / "journal.jsonl"; }

// A path as UTF-8 text, which is what child processes are given on every system.
std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The build's files by absolute paths: on Windows the build's own are rooted but without a
// drive, and a program working on another drive would look there.
const char* absolute(const char* path) {
    static std::map<std::string, std::string> known;
    auto [entry, added] = known.try_emplace(path);
    if (added && *path != '\0')
        entry->second = utf8(std::filesystem::absolute(reinterpret_cast<const char8_t*>(path)));
    return entry->second.c_str();
}

std::string registryText(const ProgramSetup& setup) {
    std::string sections;
    if (setup.registerSdk) {
        sections +=
            sdkRegistrySection(setup.sdkPathOverride.empty() ? simulatorLibrary() : setup.sdkPathOverride);
    }
    return registryFile(sections + setup.extraRegistry);
}

}  // namespace

const char* heroglowBinary() { return absolute(HEROGLOW_BINARY); }
const char* roundglowBinary() { return absolute(ROUNDGLOW_BINARY); }
const char* simulatorLibrary() { return absolute(SIMULATOR_LIBRARY); }
const char* lumoSignBinary() { return absolute(LUMO_SIGN_BINARY); }
const char* sdkSigningKey() { return absolute(SDK_SIGNING_KEY); }
const char* appletFilesFolder() { return absolute(APPLET_FILES_FOLDER); }

ProgramSetup heroglowSetup(ProgramSetup setup) {
    if (setup.binary.empty()) setup.binary = heroglowBinary();
    if (setup.port == 0) setup.port = kHeroglowPort;
    if (setup.appId.empty()) setup.appId = kDotaAppId;
    const bool feedNamed =
        std::any_of(setup.environment.begin(), setup.environment.end(),
                    [](const auto& variable) { return variable.first == kItemFeedVariable; });
    if (!feedNamed) setup.environment.emplace_back(kItemFeedVariable, kRefusedItemFeed);
    return setup;
}

ProgramSetup roundglowSetup(ProgramSetup setup) {
    if (setup.binary.empty()) setup.binary = roundglowBinary();
    if (setup.port == 0) setup.port = kRoundglowPort;
    if (setup.appId.empty()) setup.appId = kCounterStrikeAppId;
    return setup;
}

ProgramRun::ProgramRun(ProgramSetup setup)
    : setup_(std::move(setup)), folder_(std::filesystem::path(setup_.binary).stem().string() + "-run") {
    const std::filesystem::path& folder = folder_.path();
    const std::filesystem::path home = folder / "home";
    std::filesystem::create_directories(home);
    registry_ = std::make_unique<ProgramRegistry>(registryText(setup_), folder);
    if (!setup_.optionsJson.empty()) writeFile(optionsPath(), setup_.optionsJson);

    ProcessStart start{
        .program = setup_.binary,
        .environment = {{"HOME", utf8(home)},
                        {"LUMO_OPTIONS", utf8(optionsPath())},
                        {"LUMO_SIM_STATE", utf8(stateFile(folder))},
                        {"LUMO_SIM_JOURNAL", utf8(journalFile(folder))}},
        .workingDirectory = setup_.workingDirectory.empty() ? folder : setup_.workingDirectory,
        .output = stdoutFile(folder),
        .errors = stderrFile(folder),
        .fileSizeLimit = setup_.fileSizeLimit,
    };
    for (auto& variable : registry_->environment()) start.environment.push_back(std::move(variable));
    // Without the SDK a program looks for an OpenRGB server; a player's own on the default
    // port must not take part in the tests.
    const bool namesServer = std::any_of(setup_.environment.begin(), setup_.environment.end(),
                                         [](const auto& variable) { return variable.first == "LUMO_OPENRGB"; });
    if (!namesServer) start.environment.push_back({"LUMO_OPENRGB", "127.0.0.1:" + std::to_string(unusedLoopbackPort())});
    start.environment.insert(start.environment.end(), setup_.environment.begin(), setup_.environment.end());
    start.environment = withPassedThrough(std::move(start.environment));
    environment_ = start.environment;
    process_ = std::make_unique<ChildProcess>(start);
}

ProgramRun::~ProgramRun() {
    process_->stop(kStopGrace);
    const std::string program = std::filesystem::path(setup_.binary).filename().string();
    const std::string stderrText = errors();
    for (const char* finding : kSanitizerFindings) {
        if (stderrText.find(finding) != std::string::npos) {
            ADD_FAILURE() << program << " reported a sanitizer finding:\n" << stderrText;
            break;
        }
    }
    if (::testing::Test::HasFailure()) {
        std::cerr << "--- " << program << " stdout ---\n"
                  << output() << "\n--- " << program << " stderr ---\n"
                  << stderrText << '\n';
    }
}

const std::filesystem::path& ProgramRun::folder() const { return folder_.path(); }

std::filesystem::path ProgramRun::optionsPath() const { return folder_.path() / "options.json"; }

void ProgramRun::writeOptions(const std::string& text) { writeFileDatedLater(optionsPath(), text); }

bool ProgramRun::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (output().find(text) != std::string::npos) return true;
        // Once the process has ended its output is complete: look one last time.
        if (waitForExit(0ms)) return output().find(text) != std::string::npos;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

bool ProgramRun::waitUntilListening() {
    if (!waitForOutput("Server connected\n\n")) return false;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!isListening(setup_.port)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

void ProgramRun::post(const std::string& jsonBody) {
    LoopbackClient client(setup_.port);
    if (!client.connected()) {
        ADD_FAILURE() << "cannot connect to port " << setup_.port;
        return;
    }
    client.send(gameStatePost(jsonBody, setup_.appId, setup_.port));
    client.readUntilClosed(kPostTimeout);
}

std::string ProgramRun::output() const { return programText(readFile(stdoutFile(folder_.path()))); }

std::string ProgramRun::errors() const { return programText(readFile(stderrFile(folder_.path()))); }

nlohmann::json ProgramRun::keyboard() const {
    const std::string text = readFile(stateFile(folder_.path()));
    if (text.empty()) return nullptr;
    nlohmann::json state = nlohmann::json::parse(text, nullptr, false);
    return state.is_discarded() ? nlohmann::json() : state;
}

std::vector<nlohmann::json> ProgramRun::journal() const {
    std::vector<nlohmann::json> entries;
    std::istringstream lines(readFile(journalFile(folder_.path())));
    std::string line;
    while (std::getline(lines, line)) {
        // A line still being written fails to parse and is left for the next look.
        nlohmann::json entry = nlohmann::json::parse(line, nullptr, false);
        if (!entry.is_discarded()) entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<int> ProgramRun::stop() {
    process_->stop(kStopGrace);
    return process_->waitForExit(0ms);
}

std::optional<int> ProgramRun::waitForExit(std::chrono::milliseconds timeout) {
    return process_->waitForExit(timeout);
}

std::array<int, 3> keyColor(const nlohmann::json& keyboard, int position) {
    const nlohmann::json* keys =
        keyboard.is_object() && keyboard.contains("keys") ? &keyboard["keys"] : nullptr;
    if (keys == nullptr || !keys->is_array() || position < 0 || position >= static_cast<int>(keys->size())) {
        return {-1, -1, -1};
    }
    const nlohmann::json& cell = (*keys)[position];
    return {cell.at(0).get<int>(), cell.at(1).get<int>(), cell.at(2).get<int>()};
}

std::array<int, 3> deviceColor(const nlohmann::json& keyboard) {
    if (!keyboard.is_object() || !keyboard.contains("device")) return {-1, -1, -1};
    const nlohmann::json& device = keyboard["device"];
    return {device.at(0).get<int>(), device.at(1).get<int>(), device.at(2).get<int>()};
}

}  // namespace lumo::test
