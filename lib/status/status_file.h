#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

// A program's own account of whether game posts reach it, for the doctor to read: one small
// JSON file per program in the user's state folder ($XDG_STATE_HOME/lumo/,
// %LOCALAPPDATA%\lumo\), replaced whole each time so a reader never sees half of it.

namespace lumo::status {

struct ProgramStatus {
    std::string program;            // "heroglow", "roundglow"
    std::uint32_t processId = 0;
    std::int64_t started = 0;       // seconds since 1970 (UTC)
    std::uint64_t posts = 0;        // posts received since the start
    std::int64_t lastPost = 0;      // seconds since 1970; 0 before the first post
    std::string providerAppId;      // provider.appid of the last post that named one
    std::string backend;            // "sdk", "openrgb" or "none"
    bool operator==(const ProgramStatus&) const = default;
};

// The file's text and back; parseStatus gives nullopt for anything that is not such a file.
std::string formatStatus(const ProgramStatus& status);
std::optional<ProgramStatus> parseStatus(std::string_view text);

// <state folder>/lumo/<program>-status.json (lumo::filesystem::state_folder); empty when the
// user's folders are unknown.
std::filesystem::path statusFile(const std::string& program);
// <folder>/<program>-status.json: the file of `program` in a state folder given.
std::filesystem::path statusFileIn(const std::filesystem::path& folder, const std::string& program);

// The value of "appid" inside the "provider" object of a post's JSON text, found by a plain
// scan (no parse: this runs for every post); "" when there is none. Reads at most the text's
// first 64 KiB.
std::string providerAppId(std::string_view json);

// Keeps a program's status file current. notePost() only bumps counters (atomics: no lock, no
// wake-up), so a post costs the request path next to nothing and never waits on the disk; a
// writer thread of its own looks at them once a second and writes the file when they
// changed, so a post is in the file within about a second. Failures to write are ignored:
// the file is a help for diagnosis, never a reason to stop. The file is written once at
// construction; the destructor writes what is pending and joins.
class StatusWriter {
public:
    StatusWriter(std::string program, std::string backend);
    ~StatusWriter();
    StatusWriter(const StatusWriter&) = delete;
    StatusWriter& operator=(const StatusWriter&) = delete;

    // One post received; `json` is its body (null when there was none).
    void notePost(const char* json);

private:
    void run();
    // The file's content now: the fixed facts and the counters.
    ProgramStatus current() const;

    std::filesystem::path file_;
    ProgramStatus fixed_;  // program, process, start and backend; never changed after construction
    std::atomic<std::uint64_t> posts_{0};
    std::atomic<std::int64_t> lastPost_{0};
    // The last provider app id seen, plus one; 0 before any post named one.
    std::atomic<std::uint64_t> providerAppIdPlusOne_{0};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;  // guarded by mutex_
    std::thread writer_;
};

// The operating system's part: this process's id.
std::uint32_t currentProcessId();

}  // namespace lumo::status
