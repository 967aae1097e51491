// Child processes of the tests, for POSIX systems: posix_spawn and waitpid.
#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace lumo::test {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);

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

ChildProcess::ChildProcess(const ProcessStart& start) {
    std::vector<std::string> words{start.program};
    words.insert(words.end(), start.arguments.begin(), start.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    std::vector<std::string> entries;
    for (const auto& [name, value] : start.environment) entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);

    const std::string out = start.output.string();
    const std::string err = start.errors.string();
    const std::string cwd = start.workingDirectory.string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());

    pid_t pid = -1;
    const int failure = start.fileSizeLimit ? spawnWithFileSizeLimit(pid, start.program, actions, argv.data(),
                                                                     envp.data(), *start.fileSizeLimit)
                                            : posix_spawn(&pid, start.program.c_str(), &actions, nullptr,
                                                          argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0)
        throw std::runtime_error("cannot start " + start.program + ": " + std::to_string(failure));
    process_ = pid;
}

ChildProcess::~ChildProcess() { stop(std::chrono::seconds(2)); }

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (exitCode_ || process_ <= 0) return exitCode_;
    const pid_t pid = static_cast<pid_t>(process_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            exitCode_ = decodeStatus(status);
            return exitCode_;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(kPollInterval);
    }
}

void ChildProcess::stop(std::chrono::milliseconds grace) {
    if (process_ <= 0 || exitCode_) return;
    const pid_t pid = static_cast<pid_t>(process_);
    ::kill(pid, SIGTERM);
    if (!waitForExit(grace)) {
        ::kill(pid, SIGKILL);
        int status = 0;
        if (::waitpid(pid, &status, 0) == pid) exitCode_ = decodeStatus(status);
    }
}

}  // namespace lumo::test
