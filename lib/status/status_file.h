#pragma once

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

// The value of "appid" inside the "provider" object of a post's JSON text, found by a plain
// scan (no parse: this runs for every post); "" when there is none. Reads at most the text's
// first 64 KiB.
std::string providerAppId(std::string_view json);

// Keeps a program's status file current. notePost() only updates memory and wakes a writer
// thread of its own, so the request path never waits on the disk; that thread writes at most
// once a second, and a post that arrives within the second is written at its end. Failures
// to write are ignored: the file is a help for diagnosis, never a reason to stop. The file
// is written once at construction; the destructor writes what is pending and joins.
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

    std::filesystem::path file_;
    std::mutex mutex_;
    std::condition_variable wake_;
    ProgramStatus status_;
    bool pending_ = true;
    bool stopping_ = false;
    std::thread writer_;
};

// The operating system's part: this process's id.
std::uint32_t currentProcessId();

}  // namespace lumo::status
