#include "keybinds/player_file.h"

#include <cerrno>
#include <string_view>
#include <system_error>
#include <utility>

#include "filesystem/operations.h"
#include "io/whole_file.h"
#include "keybinds/user_files.h"

namespace lumo::keybinds {

namespace fs = lumo::filesystem;

namespace {

// Whether `file` is there; a query that fails (a folder without permission, a link loop)
// counts as absent and is said once.
bool existsOrSayWhy(const fs::path& file) {
    std::error_code ec;
    const bool found = fs::exists(file, ec);
    if (ec) reportOnce("Could not examine " + quoted(file) + " for key bindings: " + ec.message());
    return found;
}

// The file's last-write time; nullopt when it is absent or its time cannot be read, the latter
// said once.
std::optional<fs::file_time> writeTimeOrSayWhy(const fs::path& file) {
    if (const auto written = fs::last_write_time(file)) return written;
    if (existsOrSayWhy(file))
        reportOnce("Could not examine " + quoted(file) +
                   " for key bindings: it is not a file whose last-write time can be read");
    return std::nullopt;
}

// `belowAccount` in the userdata folder of the account that wrote its copy last; empty when
// no account has one.
fs::path newestCopy(const fs::path& steam, const fs::path& belowAccount) {
    const fs::path userdata = steam / fs::path("userdata");
    std::error_code ec;
    const std::vector<fs::path> accounts = fs::directory_entries(userdata, ec);
    if (ec && existsOrSayWhy(userdata))
        reportOnce("Could not list the Steam accounts in " + quoted(userdata) + ": " + ec.message());
    fs::path newest;
    fs::file_time newestTime = 0;
    for (const fs::path& account : accounts) {
        const fs::path candidate = account / belowAccount;
        const auto written = writeTimeOrSayWhy(candidate);
        if (written && (newest.empty() || *written > newestTime)) {
            newest = candidate;
            newestTime = *written;
        }
    }
    return newest;
}

}  // namespace

PlayerFile::PlayerFile(fs::path steam, FilePlace place, std::optional<std::uint32_t> account,
                       std::chrono::milliseconds lookAgain)
    : steam_(std::move(steam)), place_(std::move(place)), lookAgain_(lookAgain), account_(account) {
    locate();
}

void PlayerFile::followAccount(std::uint32_t account) {
    if (account_ == account) return;
    account_ = account;
    accountChanged_ = true;
}

fs::path PlayerFile::find() const {
    for (const fs::path& candidate : place_.fixed)
        if (existsOrSayWhy(candidate)) return candidate;
    if (steam_.empty() || place_.belowAccount.empty()) return {};
    if (!account_) return newestCopy(steam_, place_.belowAccount);
    // The named account's copy is followed before the game first saves it.
    fs::path own = steam_ / fs::path("userdata") / fs::path(std::to_string(*account_)) / place_.belowAccount;
    writeTimeOrSayWhy(own);
    return own;
}

void PlayerFile::locate() {
    lastLook_ = std::chrono::steady_clock::now();
    accountChanged_ = false;
    fs::path found = find();
    if (found == watched_) return;
    watched_ = std::move(found);
    time_ = 0;
}

bool PlayerFile::check() {
    if (accountChanged_ || (time_ == 0 && std::chrono::steady_clock::now() - lastLook_ >= lookAgain_))
        locate();
    const auto written = watched_.empty() ? std::nullopt : fs::last_write_time(watched_);
    if (!written) {
        // A file seen before keeps its reading while it cannot be examined; one no longer
        // followed leaves the caller with none.
        if (time_ != 0 || !held_) return false;
        held_ = false;
        return true;
    }
    if (!fs::is_newer(*written, time_)) return false;
    time_ = *written;
    held_ = true;
    return true;
}

const fs::path& PlayerFile::current() const {
    static const fs::path kNone;
    return time_ != 0 ? watched_ : kNone;
}

std::optional<std::string> PlayerFile::read() const {
    const fs::path& file = current();
    if (file.empty()) return std::nullopt;
    errno = 0;
    auto text = util::readSharedFile(file);
    if (!text) {
        const int cause = errno;
        reportOnce("Could not read the key bindings in " + quoted(file) +
                   (cause != 0 ? ": " + std::generic_category().message(cause) : std::string()));
    }
    return text;
}

}  // namespace lumo::keybinds
