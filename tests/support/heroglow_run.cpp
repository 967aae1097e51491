#include "heroglow_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

namespace lumo::test {

namespace {

constexpr auto kPollInterval = 20ms;
constexpr auto kPostTimeout = 10s;
constexpr auto kTermGrace = 2s;
constexpr const char* kSdkRegistryKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}\\ServerBinary";
// Variables from the test's own environment that the program may see.
constexpr const char* kPassedThrough[] = {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"};
// What a sanitized heroglow writes when it finds a fault.
constexpr const char* kSanitizerFindings[] = {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                                              "runtime error:"};

std::filesystem::path stdoutFile(const std::filesystem::path& folder) { return folder / "stdout.txt"; }
std::filesystem::path stderrFile(const std::filesystem::path& folder) { return folder / "stderr.txt"; }
std::filesystem::path stateFile(const std::filesystem::path& folder) { return folder / "state.json"; }
std::filesystem::path journalFile(const std::filesystem::path& folder) { return folder / "journal.jsonl"; }

std::string registryText(const HeroglowSetup& setup) {
    std::string text = "Windows Registry Editor Version 5.00\n\n";
    if (setup.registerSdk) {
        const std::string library =
            setup.sdkPathOverride.empty() ? simulatorLibrary() : setup.sdkPathOverride;
        text += std::string("[") + kSdkRegistryKey + "]\n@=\"" + regQuoted(library) + "\"\n\n";
    }
    text += setup.extraRegistry;
    return text;
}

std::optional<int> decodeStatus(int status) {
    if (WIFEXITED(status)) return static_cast<signed char>(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return std::nullopt;
}

// The child inherits resource limits and ignored signals, so both are set around the spawn
// and restored right after: writes beyond `limit` then fail with EFBIG instead of killing.
int spawnWithFileSizeLimit(pid_t& pid, const std::string& program, const posix_spawn_file_actions_t& actions,
                           char* const argv[], char* const envp[], long limit) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous {};
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(limit);
    setrlimit(RLIMIT_FSIZE, &limited);
    const int failure = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp);
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);
    return failure;
}

}  // namespace

const char* heroglowBinary() { return HEROGLOW_BINARY; }
const char* simulatorLibrary() { return SIMULATOR_LIBRARY; }
const char* lumoSignBinary() { return LUMO_SIGN_BINARY; }
const char* sdkSigningKey() { return SDK_SIGNING_KEY; }
const char* appletFilesFolder() { return APPLET_FILES_FOLDER; }

HeroglowRun::HeroglowRun(HeroglowSetup setup) : folder_("heroglow-run") {
    const std::filesystem::path& folder = folder_.path();
    const std::filesystem::path home = folder / "home";
    std::filesystem::create_directories(home);
    writeFile(folder / "registry.reg", registryText(setup));
    if (!setup.optionsJson.empty()) writeFile(folder / "options.json", setup.optionsJson);

    std::vector<std::string> environment = {
        "HOME=" + home.string(),
        "LUMO_REGISTRY=" + (folder / "registry.reg").string(),
        "LUMO_OPTIONS=" + (folder / "options.json").string(),
        "LUMO_SIM_STATE=" + stateFile(folder).string(),
        "LUMO_SIM_JOURNAL=" + journalFile(folder).string(),
    };
    if (!setup.itemFeedUrl.empty()) environment.push_back("HEROGLOW_ITEM_FEED_URL=" + setup.itemFeedUrl);
    for (const char* name : kPassedThrough) {
        if (const char* value = std::getenv(name)) environment.push_back(std::string(name) + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    const std::filesystem::path workingDirectory =
        setup.workingDirectory.empty() ? folder : setup.workingDirectory;
    const std::string out = stdoutFile(folder).string();
    const std::string err = stderrFile(folder).string();
    const std::string cwd = workingDirectory.string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());

    std::string program = heroglowBinary();
    char* argv[] = {program.data(), nullptr};
    const int failure =
        setup.fileSizeLimit
            ? spawnWithFileSizeLimit(pid_, program, actions, argv, envp.data(), *setup.fileSizeLimit)
            : posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + program + ": " + std::to_string(failure));
    }
}

HeroglowRun::~HeroglowRun() {
    if (pid_ > 0 && !exitCode_) {
        ::kill(pid_, SIGTERM);
        if (!waitForExit(std::chrono::duration_cast<std::chrono::milliseconds>(kTermGrace))) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    const std::string stderrText = errors();
    for (const char* finding : kSanitizerFindings) {
        if (stderrText.find(finding) != std::string::npos) {
            ADD_FAILURE() << "heroglow reported a sanitizer finding:\n" << stderrText;
            break;
        }
    }
    if (::testing::Test::HasFailure()) {
        std::cerr << "--- heroglow stdout ---\n"
                  << output() << "\n--- heroglow stderr ---\n"
                  << stderrText << '\n';
    }
}

const std::filesystem::path& HeroglowRun::folder() const { return folder_.path(); }

bool HeroglowRun::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (output().find(text) != std::string::npos) return true;
        // Once the process has ended its output is complete: look one last time.
        if (exitCode_ || waitForExit(0ms)) return output().find(text) != std::string::npos;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

bool HeroglowRun::waitUntilListening() {
    if (!waitForOutput("Server connected\n\n")) return false;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!isListening(kHeroglowPort)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

void HeroglowRun::post(const std::string& jsonBody) {
    const int fd = connectTo(kHeroglowPort);
    if (fd < 0) {
        ADD_FAILURE() << "cannot connect to port " << kHeroglowPort;
        return;
    }
    sendAll(fd, gameStatePost(jsonBody));
    readUntilClosed(fd, kPostTimeout);
}

std::string HeroglowRun::output() const { return readFile(stdoutFile(folder_.path())); }

std::string HeroglowRun::errors() const { return readFile(stderrFile(folder_.path())); }

nlohmann::json HeroglowRun::keyboard() const {
    const std::string text = readFile(stateFile(folder_.path()));
    if (text.empty()) return nullptr;
    nlohmann::json state = nlohmann::json::parse(text, nullptr, false);
    return state.is_discarded() ? nlohmann::json() : state;
}

std::vector<nlohmann::json> HeroglowRun::journal() const {
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

std::optional<int> HeroglowRun::waitForExit(std::chrono::milliseconds timeout) {
    if (exitCode_ || pid_ <= 0) return exitCode_;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exitCode_ = decodeStatus(status);
            return exitCode_;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::string gameStatePost(const std::string& jsonBody) {
    return "POST / HTTP/1.1\r\n"
           "Content-Type: application/json\r\n"
           "Content-Length: " +
           std::to_string(jsonBody.size()) +
           "\r\n"
           "Host: 127.0.0.1:3002\r\n"
           "\r\n" +
           jsonBody;
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

std::string regQuoted(const std::string& text) {
    std::string quoted;
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted;
}

std::string steamRegistrySection(const std::filesystem::path& steamFolder) {
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam]\n\"InstallPath\"=\"" +
           regQuoted(steamFolder.string()) + "\"\n\n";
}

}  // namespace lumo::test
