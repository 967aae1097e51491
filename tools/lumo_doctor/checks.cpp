#include "lumo_doctor/checks.h"

#include <algorithm>
#include <fstream>
#include <map>

#include "filesystem/user_files.h"
#include "keybinds/user_files.h"
#include "lumo_doctor/integration_files.h"
#include "lumo_doctor/vdf.h"
#include "net/socket.h"
#include "status/status_file.h"
#include "text/ascii.h"

namespace lumo::doctor {

namespace fs = std::filesystem;
using std::chrono::duration_cast;
using std::chrono::seconds;

namespace {

bool isFile(const fs::path& file) {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

std::optional<fs::file_time_type> writeTime(const fs::path& file) {
    std::error_code ec;
    const fs::file_time_type time = fs::last_write_time(file, ec);
    if (ec) return std::nullopt;
    return time;
}

// The file clock's epoch differs by system and std::chrono::clock_cast is not everywhere yet;
// both clocks read now give the offset, close enough for minutes.
std::chrono::system_clock::time_point systemTime(fs::file_time_type time) {
    return std::chrono::system_clock::now() +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(time - fs::file_time_type::clock::now());
}

std::string joined(const std::vector<std::string>& parts, const char* separator = ", ") {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}

Check makeCheck(std::string id, std::string game, Status status, std::string finding, std::string hint = {}) {
    return {std::move(id), std::move(game), status, std::move(finding), status == Status::ok ? std::string() : std::move(hint)};
}

// Raises `check` to `status` (never lowers it), adding the finding and the hint.
void add(Check& check, Status status, const std::string& finding, const std::string& hint = {}) {
    if (status > check.status) check.status = status;
    if (!finding.empty()) check.finding += (check.finding.empty() ? "" : "; ") + finding;
    if (!hint.empty() && status != Status::ok) check.hint += (check.hint.empty() ? "" : " ") + hint;
}

std::string processName(const Facts& facts, std::uint32_t pid) {
    for (const ProcessInfo& process : facts.processes) {
        if (process.pid == pid) return process.name;
    }
    return {};
}

const ProcessInfo* findProcess(const Facts& facts, const std::vector<std::string>& names) {
    for (const ProcessInfo& process : facts.processes) {
        for (const std::string& name : names) {
            if (util::equalsIgnoringAsciiCase(process.name, name)) return &process;
        }
    }
    return nullptr;
}

struct Uri {
    std::string host;
    int port = 0;
};

// "http://HOST:PORT/PATH"; nullopt when it is not of that form.
std::optional<Uri> parseUri(const std::string& text) {
    constexpr std::string_view kScheme = "http://";
    if (!util::startsWithIgnoringAsciiCase(text, kScheme)) return std::nullopt;
    const std::string rest = text.substr(kScheme.size());
    const std::string authority = rest.substr(0, rest.find('/'));
    const std::size_t colon = authority.rfind(':');
    Uri uri;
    if (colon == std::string::npos) {
        uri.host = authority;
        uri.port = 80;
        return uri;
    }
    uri.host = authority.substr(0, colon);
    const std::string port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    uri.port = std::stoi(port);
    return uri;
}

// The one block at the top of an integration file (its name is free).
const VdfNode* integrationBlock(const VdfResult& file) {
    return file.root.children.empty() ? nullptr : &file.root.children.front().second;
}

std::string integrationUri(const fs::path& file) {
    const VdfResult parsed = parseVdf(readText(file));
    const VdfNode* block = integrationBlock(parsed);
    const std::string* uri = block == nullptr ? nullptr : block->value("uri");
    return uri == nullptr ? std::string() : *uri;
}

// The data sections the program's own file asks for.
std::vector<std::string> wantedSections(const GameSpec& game) {
    std::vector<std::string> sections;
    const VdfResult ours = parseVdf(game.installedFile);
    if (const VdfNode* block = integrationBlock(ours)) {
        if (const VdfNode* data = block->child("data")) {
            for (const auto& [name, value] : data->values) sections.push_back(name);
        }
    }
    return sections;
}

// Keys (block/key) whose values differ between two integration files, for "how it differs".
std::vector<std::string> differences(const VdfNode& mine, const VdfNode& theirs) {
    std::map<std::string, std::pair<std::string, std::string>> values;
    const auto collect = [&](const VdfNode& node, bool first) {
        const auto visit = [&](const auto& self, const VdfNode& at, const std::string& prefix) -> void {
            for (const auto& [key, value] : at.values) {
                auto& entry = values[prefix + util::lowercaseAscii(key)];
                (first ? entry.first : entry.second) = value;
            }
            for (const auto& [key, child] : at.children) self(self, child, prefix + util::lowercaseAscii(key) + ".");
        };
        visit(visit, node, "");
    };
    collect(mine, true);
    collect(theirs, false);
    std::vector<std::string> keys;
    for (const auto& [key, pair] : values) {
        if (pair.first != pair.second) keys.push_back(key);
    }
    return keys;
}

struct IntegrationFacts {
    fs::path file;  // in the folder the game reads; empty when missing
    std::optional<fs::file_time_type> written;
    std::vector<fs::path> misplaced;  // copies the game does not read
};

// Our file in `folder` under a name with a hidden second extension ("….cfg.txt").
std::vector<fs::path> hiddenExtensionCopies(const fs::path& folder) {
    std::vector<fs::path> copies;
    std::error_code ec;
    for (fs::directory_iterator entry(folder, ec), end; !ec && entry != end; entry.increment(ec)) {
        const std::string name = entry->path().filename().string();
        if (name.size() > std::string_view(kIntegrationFileName).size() &&
            util::startsWithIgnoringAsciiCase(name, std::string(kIntegrationFileName) + ".")) {
            copies.push_back(entry->path());
        }
    }
    return copies;
}

IntegrationFacts inspectIntegrationFile(const GameFolders& folders) {
    IntegrationFacts facts;
    const fs::path file = folders.readFolder / kIntegrationFileName;
    if (isFile(file)) {
        facts.file = file;
        facts.written = writeTime(file);
    }
    for (const fs::path& folder : folders.wrongFolders) {
        if (isFile(folder / kIntegrationFileName)) facts.misplaced.push_back(folder / kIntegrationFileName);
    }
    for (const fs::path& folder : folders.wrongFolders) {
        for (fs::path& copy : hiddenExtensionCopies(folder)) facts.misplaced.push_back(std::move(copy));
    }
    for (fs::path& copy : hiddenExtensionCopies(folders.readFolder)) facts.misplaced.push_back(std::move(copy));
    return facts;
}

Check checkIntegrationFile(const GameSpec& game, const GameFolders& folders, const IntegrationFacts& facts) {
    Check check = makeCheck("integration-file", game.key, Status::ok, "");
    const std::string rightPlace = utf8(folders.readFolder / kIntegrationFileName);
    for (const fs::path& copy : facts.misplaced) {
        const bool hidden = copy.filename().string() != kIntegrationFileName;
        const std::string where = utf8(copy);
        if (hidden) {
            add(check, facts.file.empty() ? Status::failure : Status::warning,
                where + " has a second extension, so the game skips it",
                "Rename it to " + rightPlace + " (Windows hides known extensions: turn on \"File name extensions\" in Explorer).");
        } else {
            add(check, facts.file.empty() ? Status::failure : Status::warning,
                where + " is in a folder " + folders.edition + " does not read",
                "Move it to " + utf8(folders.readFolder) + ".");
        }
    }
    if (facts.file.empty()) {
        add(check, Status::failure, "no " + std::string(kIntegrationFileName) + " in " + utf8(folders.readFolder),
            check.hint.empty() ? "Start " + game.program + " once: it installs the file there; or copy its Applet_Files/" +
                                     kIntegrationFileName + " into that folder, then restart " + game.title + "."
                               : "");
        return check;
    }

    const VdfResult parsed = parseVdf(readText(facts.file));
    const std::string file = utf8(facts.file);
    if (!parsed.error.empty()) {
        add(check, Status::failure, file + " line " + std::to_string(parsed.errorLine) + ": " + parsed.error,
            "The game skips a broken file (its console says \"KeyValues Error\"). Delete it and start " + game.program +
                ", which puts its own copy there.");
        return check;
    }
    const VdfNode* block = integrationBlock(parsed);
    const std::string* uriText = block == nullptr ? nullptr : block->value("uri");
    const std::optional<Uri> uri = uriText == nullptr ? std::nullopt : parseUri(*uriText);
    const std::string expectedUri = "http://127.0.0.1:" + std::to_string(game.port) + "/";
    if (!uri) {
        add(check, Status::failure, file + " has " + (uriText == nullptr ? "no uri" : "the uri \"" + *uriText + "\", which is not http://host:port/"),
            "Set \"uri\" to \"" + expectedUri + "\".");
    } else if (uri->port != game.port) {
        add(check, Status::failure,
            file + ": the uri posts to port " + std::to_string(uri->port) + ", " + game.program + " listens on " + std::to_string(game.port),
            "Set \"uri\" to \"" + expectedUri + "\".");
    } else if (util::equalsIgnoringAsciiCase(uri->host, "localhost")) {
        add(check, Status::warning, file + ": the uri names localhost, which may resolve to ::1 where " + game.program + " does not listen",
            "Set \"uri\" to \"" + expectedUri + "\".");
    } else if (uri->host != "127.0.0.1") {
        add(check, Status::failure, file + ": the uri posts to " + uri->host + ", not to this computer's 127.0.0.1",
            "Set \"uri\" to \"" + expectedUri + "\".");
    }

    std::vector<std::string> missing;
    const VdfNode* data = block == nullptr ? nullptr : block->child("data");
    for (const std::string& section : wantedSections(game)) {
        const std::string* value = data == nullptr ? nullptr : data->value(section);
        if (value == nullptr || *value != "1") missing.push_back(section);
    }
    if (!missing.empty()) {
        add(check, Status::failure, file + " does not ask for the data " + joined(missing),
            "Add them under \"data\" with the value \"1\", or delete the file and start " + game.program + " to get its own.");
    }
    if (block == nullptr || block->value("heartbeat") == nullptr) {
        add(check, Status::warning, file + " has no heartbeat, so a quiet game sends nothing for long stretches",
            "Add \"heartbeat\" \"30.0\" (or delete the file and start " + game.program + " to get its own).");
    }

    if (check.status == Status::ok) {
        const VdfResult ours = parseVdf(game.installedFile);
        const std::vector<std::string> changed = differences(ours.root, parsed.root);
        check.finding = changed.empty() ? file + ", the same as " + game.program + " installs"
                                        : file + ", differs from " + game.program + "'s copy in " + joined(changed) + " (harmless)";
    }
    return check;
}

Check checkOtherFiles(const GameSpec& game, const GameFolders& folders) {
    std::vector<std::string> others;
    std::vector<std::string> onOurPort;
    std::error_code ec;
    for (fs::directory_iterator entry(folders.readFolder, ec), end; !ec && entry != end; entry.increment(ec)) {
        const std::string name = entry->path().filename().string();
        if (!util::startsWithIgnoringAsciiCase(name, "gamestate_integration_") || !isFile(entry->path())) continue;
        if (util::startsWithIgnoringAsciiCase(name, kIntegrationFileName)) continue;  // ours, or a misnamed copy of it
        others.push_back(name);
        const std::optional<Uri> uri = parseUri(integrationUri(entry->path()));
        if (uri && uri->port == game.port) onOurPort.push_back(utf8(entry->path()));
    }
    std::sort(others.begin(), others.end());
    if (!onOurPort.empty()) {
        return makeCheck("other-integration-files", game.key, Status::failure,
                         joined(onOurPort) + " also posts to port " + std::to_string(game.port),
                         "Two programs cannot listen on one port: end the other program and move its file out of " +
                             utf8(folders.readFolder) + ", or change its uri.");
    }
    return makeCheck("other-integration-files", game.key, Status::ok,
                     others.empty() ? "none besides ours" : joined(others) + " (other ports)");
}

const ProcessInfo* runningProgram(const GameSpec& game, const Facts& facts);

Check checkPort(const GameSpec& game, const Facts& facts, const PortFacts& port) {
    const std::string number = "port " + std::to_string(game.port);
    if (port.listener) {
        const std::uint32_t pid = *port.listener;
        const std::string name = pid == 0 ? std::string() : processName(facts, pid);
        if (util::equalsIgnoringAsciiCase(name, game.program)) {
            return makeCheck("port", game.key, Status::ok, number + " held by " + game.program + " (pid " + std::to_string(pid) + ")");
        }
        const ProcessInfo* program = runningProgram(game, facts);
        if (pid == 0 && program != nullptr) {
            // Wine, and Windows without the rights to ask, keep the owner to themselves.
            return makeCheck("port", game.key, Status::ok,
                             number + " held; the system does not say by whom, and " + game.program + " (pid " +
                                 std::to_string(program->pid) + ") runs");
        }
        const std::string who = pid == 0     ? std::string("a process the system does not name (another user's?)")
                                : name.empty() ? "process " + std::to_string(pid)
                                               : name + " (pid " + std::to_string(pid) + ")";
        return makeCheck("port", game.key, Status::failure, number + " held by " + who,
                         "End that program (another lighting tool?) before starting " + game.program +
                             ": the game can post to only one of them.");
    }
    if (port.bindError == 0) return makeCheck("port", game.key, Status::ok, number + " free");
    if (isRefusedBindCode(port.bindError)) {
        return makeCheck("port", game.key, Status::failure,
                         "the system refuses to bind " + number + " although no process owns it (error " +
                             std::to_string(port.bindError) + ")",
                         "Windows reserves port ranges for Hyper-V, WSL and Docker: see `netsh interface ipv4 show "
                         "excludedportrange protocol=tcp`, and free the range or restart after turning those off.");
    }
    return makeCheck("port", game.key, Status::failure,
                     number + " cannot be bound (error " + std::to_string(port.bindError) + ") though no listener shows",
                     "Another user's program may hold it: look for other copies of " + game.program + ".");
}

bool hasGameStateFlag(const std::string& options) {
    const std::string lower = util::lowercaseAscii(options);
    constexpr std::string_view kFlag = "-gamestateintegration";
    for (std::size_t pos = lower.find(kFlag); pos != std::string::npos; pos = lower.find(kFlag, pos + 1)) {
        const bool startsWord = pos == 0 || util::isBlank(lower[pos - 1]) || lower[pos - 1] == '"';
        const std::size_t after = pos + kFlag.size();
        const bool endsWord = after == lower.size() || util::isBlank(lower[after]) || lower[after] == '"';
        if (startsWord && endsWord) return true;
    }
    return false;
}

// The account that logged in last, from loginusers.vdf; "" when it does not say.
std::string activeAccount(const fs::path& steam) {
    const VdfResult users = parseVdf(readText(steam / "config" / "loginusers.vdf"));
    const VdfNode* list = users.root.child("users");
    if (list == nullptr) return {};
    for (const auto& [id64, user] : list->children) {
        const std::string* recent = user.value("MostRecent");
        if (recent == nullptr || *recent != "1") continue;
        if (const auto account = keybinds::accountIdFromSteamId(id64)) return std::to_string(*account);
    }
    return {};
}

Check checkLaunchOption(const GameSpec& game, const Facts& facts) {
    const fs::path userdata = facts.steam.folder / "userdata";
    std::vector<std::string> accounts;
    std::error_code ec;
    for (fs::directory_iterator entry(userdata, ec), end; !ec && entry != end; entry.increment(ec)) {
        const std::string name = entry->path().filename().string();
        if (name != "0" && name.find_first_not_of("0123456789") == std::string::npos &&
            isFile(entry->path() / "config" / "localconfig.vdf")) {
            accounts.push_back(name);
        }
    }
    std::sort(accounts.begin(), accounts.end());
    const std::string active = activeAccount(facts.steam.folder);
    if (std::find(accounts.begin(), accounts.end(), active) != accounts.end()) accounts = {active};
    if (accounts.empty()) {
        return makeCheck("launch-option", game.key, Status::warning, "no account's localconfig.vdf under " + utf8(userdata),
                         "Add -gamestateintegration to " + game.title + "'s launch options in Steam (Properties > General).");
    }
    std::vector<std::string> with, without;
    for (const std::string& account : accounts) {
        const VdfResult config = parseVdf(readText(userdata / account / "config" / "localconfig.vdf"));
        const VdfNode* app = config.root.path({"UserLocalConfigStore", "Software", "Valve", "Steam", "apps", game.appId});
        const std::string* options = app == nullptr ? nullptr : app->value("LaunchOptions");
        (options != nullptr && hasGameStateFlag(*options) ? with : without).push_back(account);
    }
    const std::string who = accounts.size() == 1 ? (accounts[0] == active ? "the active account " : "account ") + accounts[0]
                                                 : "accounts ";
    if (without.empty()) return makeCheck("launch-option", game.key, Status::ok, "-gamestateintegration set for " + who + (accounts.size() > 1 ? joined(with) : ""));
    std::string finding = "-gamestateintegration missing for " + (accounts.size() == 1 ? who : "accounts " + joined(without));
    if (!with.empty()) finding += " (set for " + joined(with) + ")";
    return makeCheck("launch-option", game.key, Status::warning, finding,
                     "Add -gamestateintegration to " + game.title +
                         "'s launch options in Steam (Properties > General); some systems post without it.");
}

Check checkGameProcess(const GameSpec& game, const Facts& facts, const IntegrationFacts& file) {
    const ProcessInfo* process = findProcess(facts, game.processNames);
    if (process == nullptr) return makeCheck("game-process", game.key, Status::ok, game.title + " is not running");
    const std::string who = process->name + " (pid " + std::to_string(process->pid) + ")";
    if (!process->started) return makeCheck("game-process", game.key, Status::ok, who + " is running");
    const std::string since = describeDuration(duration_cast<seconds>(facts.now - *process->started));
    if (file.written && *process->started < systemTime(*file.written)) {
        const std::string written = describeDuration(duration_cast<seconds>(facts.now - systemTime(*file.written)));
        return makeCheck("game-process", game.key, Status::failure,
                         who + " started " + since + " ago, before the integration file was written " + written + " ago",
                         "Restart " + game.title + ": it reads integration files only when it starts.");
    }
    return makeCheck("game-process", game.key, Status::ok, who + " running for " + since);
}

Check checkConsoleLog(const GameSpec& game, const GameFolders& folders, const IntegrationFacts& file) {
    const std::string log = utf8(folders.consoleLog);
    if (!isFile(folders.consoleLog)) {
        return makeCheck("console-log", game.key, Status::ok, "no console log (the launch option -condebug writes " + log + ")");
    }
    std::ifstream in(folders.consoleLog, std::ios::binary);
    std::string line, loaded, error;
    std::vector<std::string> sections;
    const std::string ours = util::lowercaseAscii(kIntegrationFileName);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string lower = util::lowercaseAscii(line);
        if (lower.find(ours) == std::string::npos) continue;
        if (lower.find("keyvalues error") != std::string::npos) error = line;
        if (lower.find("loading game state integration") != std::string::npos) loaded = line;
        // "<file>: integrating data for '<section>' v1"
        const std::size_t mark = lower.find("integrating data for '");
        if (mark != std::string::npos) {
            const std::size_t start = mark + 22;
            const std::size_t close = line.find('\'', start);
            if (close != std::string::npos) sections.push_back(line.substr(start, close - start));
        }
    }
    if (!error.empty()) {
        return makeCheck("console-log", game.key, Status::failure, log + ": \"" + error + "\"",
                         "The game could not read the file: delete it, start " + game.program + " to put its own copy there, and restart " + game.title + ".");
    }
    if (!loaded.empty() || !sections.empty()) {
        return makeCheck("console-log", game.key, Status::ok,
                         "the game loaded " + std::string(kIntegrationFileName) + (sections.empty() ? "" : " (" + joined(sections) + ")"));
    }
    const std::optional<fs::file_time_type> logWritten = writeTime(folders.consoleLog);
    if (file.written && logWritten && *logWritten < *file.written) {
        return makeCheck("console-log", game.key, Status::warning, log + " ends before the integration file was written",
                         "Restart " + game.title + " so that it reads the file.");
    }
    if (game.key != "dota") {
        return makeCheck("console-log", game.key, Status::ok, log + " does not mention " + std::string(kIntegrationFileName));
    }
    return makeCheck("console-log", game.key, Status::warning, log + " does not say the game loaded " + std::string(kIntegrationFileName),
                     "Dota 2 reads integration files at the first map of a session: enter a match or a demo, then look again.");
}

std::optional<status::ProgramStatus> readStatus(const GameSpec& game, const Facts& facts) {
    if (facts.stateFolder.empty()) return std::nullopt;
    return status::parseStatus(readText(facts.stateFolder / (game.program + "-status.json")));
}

const ProcessInfo* runningProgram(const GameSpec& game, const Facts& facts, const std::optional<status::ProgramStatus>& status) {
    if (status) {
        for (const ProcessInfo& process : facts.processes) {
            if (process.pid == status->processId && util::equalsIgnoringAsciiCase(process.name, game.program)) return &process;
        }
    }
    return findProcess(facts, {game.program});
}

const ProcessInfo* runningProgram(const GameSpec& game, const Facts& facts) {
    return runningProgram(game, facts, readStatus(game, facts));
}

Check checkProgram(const GameSpec& game, const Facts& facts) {
    const std::optional<status::ProgramStatus> status = readStatus(game, facts);
    const ProcessInfo* process = runningProgram(game, facts, status);
    if (process == nullptr) {
        return makeCheck("program", game.key, Status::warning, game.program + " is not running",
                         "Start " + game.program + "; without it nothing lights the keyboard.");
    }
    std::string who = game.program + " (pid " + std::to_string(process->pid);
    if (!status || status->processId != process->pid) {
        return makeCheck("program", game.key, Status::ok, who + ") is running; it has written no status file");
    }
    who += ", lighting through " + status->backend + ")";
    const auto now = duration_cast<seconds>(facts.now.time_since_epoch()).count();
    if (status->posts == 0) {
        const bool gameRunning = findProcess(facts, game.processNames) != nullptr;
        return makeCheck("program", game.key, gameRunning ? Status::warning : Status::ok,
                         who + " has had no post since it started " + describeDuration(seconds(now - status->started)) + " ago",
                         game.title + " runs but does not post: the checks above name the usual causes. " +
                             (game.key == "dota" ? "Dota 2 posts only in a match or a demo." : ""));
    }
    std::string finding = who + ": last post " + describeDuration(seconds(std::max<std::int64_t>(0, now - status->lastPost))) +
                          " ago, " + std::to_string(status->posts) + " since it started";
    if (!status->providerAppId.empty()) finding += " (app id " + status->providerAppId + ")";
    if (!status->providerAppId.empty() && status->providerAppId != game.appId) {
        return makeCheck("program", game.key, Status::warning, finding + ", not " + game.title + "'s " + game.appId,
                         "Another game's integration file posts to port " + std::to_string(game.port) + ": change its uri.");
    }
    return makeCheck("program", game.key, Status::ok, finding);
}

// A post's data as section names the integration file uses: Counter-Strike's player_id,
// player_state and player_weapons arrive as parts of "player".
bool carriesSection(const std::vector<std::string>& members, const std::string& body, const std::string& section) {
    if (std::find(members.begin(), members.end(), section) != members.end()) return true;
    constexpr std::string_view kPlayer = "player_";
    if (section.rfind(kPlayer, 0) != 0 || std::find(members.begin(), members.end(), "player") == members.end()) return false;
    const std::string part = section.substr(kPlayer.size());
    return body.find("\"" + (part == "id" ? std::string("steamid") : part) + "\"") != std::string::npos;
}

Check checkListen(const GameSpec& game, int seconds, const std::optional<HeardPost>& heard) {
    const std::string port = std::to_string(game.port);
    if (!heard) {
        return makeCheck("listen", game.key, Status::failure, "could not listen on port " + port,
                         "The port check names what holds it.");
    }
    if (!heard->received) {
        return makeCheck("listen", game.key, Status::failure, "no post on port " + port + " in " + std::to_string(seconds) + " s",
                         "The checks above name the usual causes; " + game.title +
                             (game.key == "dota" ? " posts only in a match or a demo." : " posts when you join a map."));
    }
    std::vector<std::string> carried, absent;
    for (const std::string& section : wantedSections(game)) {
        (carriesSection(heard->sections, heard->body, section) ? carried : absent).push_back(section);
    }
    std::string finding = "first post after " + describeDuration(duration_cast<std::chrono::seconds>(heard->after)) +
                          ": app id " + (heard->appId.empty() ? "none" : heard->appId) + ", data " +
                          (carried.empty() ? "none" : joined(carried));
    if (!absent.empty()) finding += " (not in it: " + joined(absent) + ")";
    if (heard->appId != game.appId) {
        return makeCheck("listen", game.key, Status::warning, finding,
                         "The post did not come from " + game.title + " (app id " + game.appId + "): another integration file names this port.");
    }
    return makeCheck("listen", game.key, Status::ok, finding);
}

}  // namespace

const char* statusName(Status status) {
    switch (status) {
    case Status::ok: return "ok";
    case Status::warning: return "warning";
    case Status::failure: return "failure";
    }
    return "failure";
}

const GameSpec& dotaGame() {
    static const GameSpec game{"dota", "Dota 2", "570", 3002, "heroglow", {"dota2"}, kHeroglowIntegrationFile};
    return game;
}

const GameSpec& counterStrikeGame() {
    static const GameSpec game{"cs", "Counter-Strike", "730", 5000, "roundglow", {"cs2", "csgo"}, kRoundglowIntegrationFile};
    return game;
}

GameFolders gameFolders(const GameSpec& game, const fs::path& gameFolder) {
    if (game.key == "dota") {
        const fs::path cfg = gameFolder / "game" / "dota" / "cfg";
        return {"Dota 2", cfg / "gamestate_integration", {cfg}, gameFolder / "game" / "dota" / "console.log"};
    }
    // Counter-Strike 2 moved everything under game/; CS:GO read csgo/cfg.
    const fs::path cs2 = gameFolder / "game" / "csgo";
    const fs::path csgo = gameFolder / "csgo";
    if (isFolder(cs2)) {
        return {"Counter-Strike 2", cs2 / "cfg", {csgo / "cfg", cs2 / "cfg" / "gamestate_integration"}, cs2 / "console.log"};
    }
    return {"CS:GO", csgo / "cfg", {cs2 / "cfg"}, csgo / "console.log"};
}

PortFacts probePort(std::uint16_t port) {
    PortFacts facts;
    facts.listener = portListener(port);
    if (facts.listener) return facts;
    if (net::startSocketLibrary() != 0) return facts;
    int error = 0;
    {
        const net::SocketHandle socket = net::openTcpSocket(error);
        if (socket) error = net::bindSocket(socket, net::ipv4Address(127, 0, 0, 1), port);
    }
    net::stopSocketLibrary();
    facts.bindError = error;
    return facts;
}

Facts gatherFacts() {
    Facts facts;
    facts.steam = locateSteam();
    if (!facts.steam.folder.empty()) facts.libraries = steamLibraries(facts.steam.folder);
    facts.processes = listProcesses();
    facts.stateFolder = filesystem::state_folder();
    facts.now = std::chrono::system_clock::now();
    facts.onLinux = runningOnLinux();
    return facts;
}

Check checkSteam(const Facts& facts) {
    if (facts.steam.folder.empty()) {
        return makeCheck("steam", "all", Status::failure, "Steam not found",
                         "Install Steam, or start it once so that it records where it is.");
    }
    std::vector<std::string> libraries, gone;
    for (const SteamLibrary& library : facts.libraries) {
        libraries.push_back(utf8(library.folder) + (library.present ? "" : " (missing)"));
        if (!library.present) gone.push_back(utf8(library.folder));
    }
    const std::string finding = utf8(facts.steam.folder) + ", found by " + facts.steam.foundBy + "; libraries: " + joined(libraries);
    if (facts.steam.foundBy == kSnapSource) {
        return makeCheck("steam", "all", Status::failure, finding,
                         "The programs do not look in Snap's folder, so they cannot install the integration files: copy "
                         "each from the program's Applet_Files yourself (see the lines below for where).");
    }
    if (!gone.empty()) {
        return makeCheck("steam", "all", Status::warning, finding,
                         "Steam lists libraries that are gone (a drive not attached?); games there cannot be found.");
    }
    return makeCheck("steam", "all", Status::ok, finding);
}

bool programRunning(const GameSpec& game, const Facts& facts) { return runningProgram(game, facts) != nullptr; }

std::vector<Check> checkGame(const GameSpec& game, const Facts& facts, const GameRun& run) {
    std::vector<Check> checks;
    const std::optional<GameInstall> install = facts.steam.folder.empty() ? std::nullopt : findGame(facts.libraries, game.appId);
    if (!install || !install->folderPresent) {
        checks.push_back(makeCheck(
            "game", game.key, Status::warning,
            !install ? game.title + " is not installed in any Steam library" : utf8(install->folder) + " is missing",
            "Install " + game.title + " through Steam; the checks of its files are skipped."));
    } else {
        const GameFolders folders = gameFolders(game, install->folder);
        checks.push_back(makeCheck("game", game.key, Status::ok,
                                   folders.edition + " in " + utf8(install->library) + ", installdir \"" + install->installDir + "\""));
        const IntegrationFacts file = inspectIntegrationFile(folders);
        checks.push_back(checkIntegrationFile(game, folders, file));
        checks.push_back(checkOtherFiles(game, folders));
        checks.push_back(checkPort(game, facts, run.port));
        if (game.key == "dota") checks.push_back(checkLaunchOption(game, facts));
        checks.push_back(checkGameProcess(game, facts, file));
        checks.push_back(checkConsoleLog(game, folders, file));
    }
    if (!install || !install->folderPresent) checks.push_back(checkPort(game, facts, run.port));
    checks.push_back(checkProgram(game, facts));
    if (run.listenSeconds) checks.push_back(checkListen(game, *run.listenSeconds, run.heard));

    const bool allOk = std::all_of(checks.begin(), checks.end(), [](const Check& c) { return c.status == Status::ok; });
    if (game.key == "dota" && facts.onLinux && allOk) {
        checks.push_back(makeCheck("platform", game.key, Status::warning,
                                   "Dota 2 on Linux: a long-open report says the game posts nothing for some players",
                                   "Not a fault of your setup. If no post arrives while every check passes, this is the likely reason."));
    }
    return checks;
}

std::string describeDuration(seconds duration) {
    const long long total = std::max<long long>(0, duration.count());
    if (total < 60) return std::to_string(total) + " s";
    if (total < 3600) return std::to_string(total / 60) + " min";
    const long long minutes = (total % 3600) / 60;
    return std::to_string(total / 3600) + " h" + (minutes == 0 ? "" : " " + std::to_string(minutes) + " min");
}

}  // namespace lumo::doctor
