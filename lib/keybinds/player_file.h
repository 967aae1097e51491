#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filesystem/file_time.h"
#include "filesystem/path.h"

namespace lumo::keybinds {

// Where a game keeps one file of the player's: paths tried first, in order (copies in the
// game's folder), else the file below <Steam>/userdata/<account id>/.
struct FilePlace {
    std::vector<filesystem::path> fixed;
    // Relative to the account's userdata folder ("730\local\cfg\config.cfg"); empty for none.
    filesystem::path belowAccount;
};

// One file of the player's that a game saves while it runs, followed for the account at the
// keyboard. The file is the first of the place's fixed paths that exists, else the account's
// own copy: before a post names the player, the copy of the account that wrote its own last;
// once a post named one, only that account's copy counts (another player's bindings are the
// wrong ones), and none while that account has none.
//
// Cost per check: one last-write-time query of the followed file. While no file is at hand
// the place is looked at again (the fixed paths, and the userdata folder's accounts until a
// post names one) at most once per `lookAgain`; the named account's own copy, whose path is
// known, is asked for its time at every check, so its first save is read at once.
//
// Causes that keep a file from being used (a path that cannot be examined, a userdata folder
// that cannot be listed, a file that cannot be read) are said once each on standard output.
// Nothing throws.
class PlayerFile {
public:
    static constexpr std::chrono::milliseconds kLookAgain{1000};

    // Follows nothing: check() is false, current() empty.
    PlayerFile() = default;
    // Looks for the file at once, of `account` when given (as followAccount). An empty
    // `steam` leaves only the fixed paths.
    PlayerFile(filesystem::path steam, FilePlace place, std::optional<std::uint32_t> account = std::nullopt,
               std::chrono::milliseconds lookAgain = kLookAgain);

    // A post named the player: from the next check on, only `account`'s copy counts.
    void followAccount(std::uint32_t account);
    // The account a post named; nullopt before.
    std::optional<std::uint32_t> account() const { return account_; }

    // True when what the caller read last is out of date and current() must be read again:
    // the file's last-write time is strictly later than when it was last reported, or another
    // file (or none) is followed now. A followed file that cannot be examined for a moment
    // keeps its last reading (false).
    bool check();

    // The file whose content counts since the last check that reported it; empty when none.
    const filesystem::path& current() const;

    // current()'s whole text; nullopt when there is none or it cannot be read (said once).
    std::optional<std::string> read() const;

private:
    void locate();
    filesystem::path find() const;

    filesystem::path steam_;
    FilePlace place_;
    std::chrono::milliseconds lookAgain_ = kLookAgain;
    std::chrono::steady_clock::time_point lastLook_{};
    std::optional<std::uint32_t> account_;
    bool accountChanged_ = false;
    filesystem::path watched_;        // the file looked at; may not exist yet
    filesystem::file_time time_ = 0;  // its time when last reported; 0: not seen since located
    bool held_ = false;               // the last report was of a file, not of none
};

}  // namespace lumo::keybinds
