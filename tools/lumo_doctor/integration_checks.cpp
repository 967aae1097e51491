// The integration file in the folder the game reads, and other tools' files beside it.
#include <algorithm>
#include <map>

#include "lumo_doctor/check_support.h"
#include "lumo_doctor/doctor_paths.h"
#include "text/ascii.h"

namespace lumo::doctor {

namespace fs = std::filesystem;

namespace {

// Keys (block.key) whose values differ between two integration files, for "how it differs".
std::vector<std::string> differences(const util::KeyValues& mine, const util::KeyValues& theirs) {
    std::map<std::string, std::pair<std::string, std::string>> values;
    const auto collect = [&](const util::KeyValues& node, bool first) {
        const auto visit = [&](const auto& self, const util::KeyValues& at, const std::string& prefix) -> void {
            for (const auto& [key, value] : at.values()) {
                auto& entry = values[prefix + key];
                (first ? entry.first : entry.second) = value;
            }
            for (const auto& [key, child] : at.children()) self(self, child, prefix + key + ".");
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

std::string integrationUri(const fs::path& file) {
    util::KeyValues parsed;
    parsed.parse(readText(file).value_or(std::string()));
    const util::KeyValues* block = integrationBlock(parsed);
    return block == nullptr ? std::string() : block->value("uri");
}

}  // namespace

Check checkIntegrationFile(const GameScene& scene) {
    const games::Game& game = scene.game;
    const std::string program(game.program);
    const std::string title(game.title);
    const std::string fileName(game.integrationFile);
    const GameFolders& folders = scene.folders;
    Check check = makeCheck("integration-file", game.key, Status::ok, "");
    const std::string rightPlace = filesystem::utf8_text(folders.readFolder / filesystem::std_path_from_utf8(std::string(fileName)));
    for (const fs::path& copy : scene.file.misplaced) {
        const bool hidden = filesystem::utf8_text(copy.filename()) != fileName;
        const std::string where = filesystem::utf8_text(copy);
        if (hidden) {
            add(check, scene.file.file.empty() ? Status::failure : Status::warning,
                where + " has a second extension, so the game skips it",
                "Rename it to " + rightPlace + " (Windows hides known extensions: turn on \"File name extensions\" in Explorer).");
        } else {
            add(check, scene.file.file.empty() ? Status::failure : Status::warning,
                where + " is in a folder " + folders.edition + " does not read",
                "Move it to " + filesystem::utf8_text(folders.readFolder) + ".");
        }
    }
    if (scene.file.file.empty()) {
        const std::string byHand = "copy " + ownCopy(game) + " into that folder, then restart " + title + ".";
        add(check, Status::failure, "no " + fileName + " in " + filesystem::utf8_text(folders.readFolder),
            !check.hint.empty()      ? ""
            : scene.programInstalls ? "Start " + program + " once: it installs the file there; or " + byHand
                                     : program + " cannot install it, since it does not find the game (see the game line): " + byHand);
        return check;
    }

    util::KeyValues parsed;
    const std::optional<util::KeyValuesFault> fault = parsed.parseReportingFault(readText(scene.file.file).value_or(std::string()));
    const std::string file = filesystem::utf8_text(scene.file.file);
    const std::string replaceIt = "replace it with " + ownCopy(game);
    std::string replaceItYourself = replaceIt;  // the same, starting a sentence
    replaceItYourself[0] = 'R';
    replaceItYourself += '.';
    if (fault) {
        add(check, Status::failure, file + " line " + std::to_string(fault->line) + ": " + fault->cause,
            "The game skips a broken file (its console says \"KeyValues Error\"). " +
                (scene.programInstalls ? "Delete it and start " + program + ", which puts its own copy there." : replaceItYourself));
        return check;
    }
    const util::KeyValues* block = integrationBlock(parsed);
    const bool hasUri = block != nullptr && block->values().count("uri") != 0;
    const std::string uriText = hasUri ? block->value("uri") : std::string();
    const std::optional<Uri> uri = hasUri ? parseUri(uriText) : std::nullopt;
    const std::string expectedUri = "http://127.0.0.1:" + std::to_string(game.port) + "/";
    if (!uri) {
        add(check, Status::failure, file + " has " + (!hasUri ? "no uri" : "the uri \"" + uriText + "\", which is not http://host:port/"),
            "Set \"uri\" to \"" + expectedUri + "\".");
    } else if (uri->port != game.port) {
        add(check, Status::failure,
            file + ": the uri posts to port " + std::to_string(uri->port) + ", " + program + " listens on " + std::to_string(game.port),
            "Set \"uri\" to \"" + expectedUri + "\".");
    } else if (util::equalsIgnoringAsciiCase(uri->host, "localhost")) {
        add(check, Status::warning, file + ": the uri names localhost, which may resolve to ::1 where " + program + " does not listen",
            "Set \"uri\" to \"" + expectedUri + "\".");
    } else if (uri->host != "127.0.0.1") {
        add(check, Status::failure, file + ": the uri posts to " + uri->host + ", not to this computer's 127.0.0.1",
            "Set \"uri\" to \"" + expectedUri + "\".");
    }

    std::vector<std::string> missing;
    const util::KeyValues data = block == nullptr ? util::KeyValues() : block->child("data");
    for (const std::string& section : wantedSections(game)) {
        if (data.value(section) != "1") missing.push_back(section);
    }
    const std::string getOwn = scene.programInstalls ? "delete the file and start " + program + " to get its own" : replaceIt;
    if (!missing.empty()) {
        add(check, Status::failure, file + " does not ask for the data " + joined(missing),
            "Add them under \"data\" with the value \"1\", or " + getOwn + ".");
    }
    if (block == nullptr || block->values().count("heartbeat") == 0) {
        add(check, Status::warning, file + " has no heartbeat, so a quiet game sends nothing for long stretches",
            "Add \"heartbeat\" \"30.0\" (or " + getOwn + ").");
    }

    if (check.status == Status::ok) {
        util::KeyValues ours;
        ours.parse(std::string(installedIntegrationFile(game)));
        const std::vector<std::string> changed = differences(ours, parsed);
        check.finding = changed.empty() ? file + ", the same as " + program + " installs"
                                        : file + ", differs from " + program + "'s copy in " + joined(changed) + " (harmless)";
    }
    return check;
}

Check checkOtherFiles(const GameScene& scene) {
    const games::Game& game = scene.game;
    const std::string ours(game.integrationFile);
    std::vector<std::string> others;
    std::vector<std::string> onOurPort;
    std::error_code ec;
    for (fs::directory_iterator entry(scene.folders.readFolder, ec), end; !ec && entry != end; entry.increment(ec)) {
        const std::string name = filesystem::utf8_text(entry->path().filename());
        if (!util::startsWithIgnoringAsciiCase(name, "gamestate_integration_") || !isFile(entry->path())) continue;
        if (util::startsWithIgnoringAsciiCase(name, ours)) continue;  // ours, or a misnamed copy of it
        others.push_back(name);
        const std::optional<Uri> uri = parseUri(integrationUri(entry->path()));
        if (uri && uri->port == game.port) onOurPort.push_back(filesystem::utf8_text(entry->path()));
    }
    std::sort(others.begin(), others.end());
    if (!onOurPort.empty()) {
        return makeCheck("other-integration-files", game.key, Status::failure,
                         joined(onOurPort) + " also posts to port " + std::to_string(game.port),
                         "Two programs cannot listen on one port: end the other program and move its file out of " +
                             filesystem::utf8_text(scene.folders.readFolder) + ", or change its uri.");
    }
    return makeCheck("other-integration-files", game.key, Status::ok,
                     others.empty() ? "none besides ours" : joined(others) + " (other ports)");
}

}  // namespace lumo::doctor
