// The launch option some systems need before the game posts, in the accounts' localconfig.vdf.
#include <algorithm>

#include "keybinds/user_files.h"
#include "lumo_doctor/check_support.h"
#include "lumo_doctor/doctor_paths.h"
#include "text/ascii.h"

namespace lumo::doctor {

namespace fs = std::filesystem;

namespace {

// The option as a word of its own: Steam writes the options between quotes and escapes quotes
// inside them as \", so a quote or a backslash ends a word as a blank does.
bool hasFlag(const std::string& options, std::string_view flag) {
    const std::string lower = util::lowercaseAscii(options);
    const auto edge = [](char c) { return util::isBlank(c) || c == '"' || c == '\\'; };
    for (std::size_t pos = lower.find(flag); pos != std::string::npos; pos = lower.find(flag, pos + 1)) {
        const std::size_t after = pos + flag.size();
        if ((pos == 0 || edge(lower[pos - 1])) && (after == lower.size() || edge(lower[after]))) return true;
    }
    return false;
}

std::string lineOf(const std::string& text, int line) {
    std::size_t start = 0;
    for (int i = 1; i < line && start != std::string::npos; ++i) {
        start = text.find('\n', start);
        if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) return {};
    return text.substr(start, text.find('\n', start) - start);
}

// Whether the app's launch options in one localconfig.vdf carry `flag`. The KeyValues reader
// knows no escapes, so a launch option with an escaped quote reads only up to it; Steam
// writes each entry on a line of its own, so the rest of the options is the rest of that line.
bool launchOptionsCarry(const std::string& config, const std::string& appId, std::string_view flag) {
    util::KeyValues root;
    root.parse(config);
    const util::KeyValues app =
        root.child("UserLocalConfigStore").child("Software").child("Valve").child("Steam").child("apps").child(appId);
    for (const util::KeyValues::Entry& entry : app.entries()) {
        if (!entry.block && util::equalsIgnoringAsciiCase(entry.key, "LaunchOptions")) {
            const std::string line = lineOf(config, entry.line);
            const std::size_t key = util::lowercaseAscii(line).find("\"launchoptions\"");
            if (hasFlag(key == std::string::npos ? entry.value : line.substr(key + 15), flag)) return true;
        }
    }
    return false;
}

// The account that logged in last, from loginusers.vdf; "" when it does not say.
std::string activeAccount(const fs::path& steam) {
    util::KeyValues users;
    users.parse(readText(steam / "config" / "loginusers.vdf").value_or(std::string()));
    const util::KeyValues list = users.child("users");
    for (const auto& [id64, user] : list.children()) {
        if (user.value("MostRecent") != "1") continue;
        if (const auto account = keybinds::accountIdFromSteamId(id64)) return std::to_string(*account);
    }
    return {};
}

}  // namespace

Check checkLaunchOption(const games::Game& game, const Facts& facts) {
    const std::string flag(game.launchOption);
    const std::string title(game.title);
    const fs::path steam = filesystem::to_std_path(facts.steam.root);
    const fs::path userdata = steam / "userdata";
    std::vector<std::string> accounts;
    std::error_code ec;
    for (fs::directory_iterator entry(userdata, ec), end; !ec && entry != end; entry.increment(ec)) {
        const std::string name = filesystem::utf8_text(entry->path().filename());
        if (name != "0" && name.find_first_not_of("0123456789") == std::string::npos &&
            isFile(entry->path() / "config" / "localconfig.vdf")) {
            accounts.push_back(name);
        }
    }
    std::sort(accounts.begin(), accounts.end());
    const std::string active = activeAccount(steam);
    if (std::find(accounts.begin(), accounts.end(), active) != accounts.end()) accounts = {active};
    const std::string addIt = "Add " + flag + " to " + title + "'s launch options in Steam (Properties > General)";
    if (accounts.empty()) {
        return makeCheck("launch-option", game.key, Status::warning, "no account's localconfig.vdf under " + filesystem::utf8_text(userdata), addIt + ".");
    }
    std::vector<std::string> with, without;
    for (const std::string& account : accounts) {
        const std::string config = readText(userdata / account / "config" / "localconfig.vdf").value_or(std::string());
        (launchOptionsCarry(config, std::string(game.appId), flag) ? with : without).push_back(account);
    }
    const std::string who = accounts.size() == 1 ? (accounts[0] == active ? "the active account " : "account ") + accounts[0]
                                                 : "accounts ";
    if (without.empty()) return makeCheck("launch-option", game.key, Status::ok, flag + " set for " + who + (accounts.size() > 1 ? joined(with) : ""));
    std::string finding = flag + " missing for " + (accounts.size() == 1 ? who : "accounts " + joined(without));
    if (!with.empty()) finding += " (set for " + joined(with) + ")";
    return makeCheck("launch-option", game.key, Status::warning, finding, addIt + "; some systems post without it.");
}

}  // namespace lumo::doctor
