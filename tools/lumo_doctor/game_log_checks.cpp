// The game's side: whether it runs since the integration file was written, and what its
// console log says of the file.
#include <sstream>

#include "lumo_doctor/check_support.h"
#include "lumo_doctor/doctor_paths.h"
#include "text/ascii.h"

namespace lumo::doctor {

namespace fs = std::filesystem;
using std::chrono::duration_cast;
using std::chrono::seconds;

Check checkGameProcess(const GameScene& scene) {
    const games::Game& game = scene.game;
    const Facts& facts = scene.facts;
    const ProcessInfo* process = findProcess(facts, game.processNames);
    const std::string title(game.title);
    if (process == nullptr) return makeCheck("game-process", game.key, Status::ok, title + " is not running");
    const std::string who = process->name + " (pid " + std::to_string(process->pid) + ")";
    if (!process->started) return makeCheck("game-process", game.key, Status::ok, who + " is running");
    const std::string since = describeDuration(duration_cast<seconds>(facts.now - *process->started));
    if (scene.file.written && *process->started < systemTime(*scene.file.written)) {
        const std::string written = describeDuration(duration_cast<seconds>(facts.now - systemTime(*scene.file.written)));
        return makeCheck("game-process", game.key, Status::failure,
                         who + " started " + since + " ago, before the integration file was written " + written + " ago",
                         "Restart " + title + ": it reads integration files only when it starts.");
    }
    return makeCheck("game-process", game.key, Status::ok, who + " running for " + since);
}

Check checkConsoleLog(const GameScene& scene) {
    const games::Game& game = scene.game;
    const std::string program(game.program);
    const std::string title(game.title);
    const std::string fileName(game.integrationFile);
    const std::string log = filesystem::utf8_text(scene.folders.consoleLog);
    const std::optional<std::string> text = isFile(scene.folders.consoleLog) ? readText(scene.folders.consoleLog) : std::nullopt;
    if (!text) {
        return makeCheck("console-log", game.key, Status::ok, "no console log (the launch option -condebug writes " + log + ")");
    }
    std::istringstream in(*text);
    std::string line, loaded, error;
    std::vector<std::string> sections;
    const std::string ours = util::lowercaseAscii(fileName);
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
                         "The game could not read the file: " +
                             (scene.programInstalls ? "delete it, start " + program + " to put its own copy there,"
                                                    : "replace it with " + ownCopy(game) + ",") +
                             " and restart " + title + ".");
    }
    if (!loaded.empty() || !sections.empty()) {
        return makeCheck("console-log", game.key, Status::ok,
                         "the game loaded " + fileName + (sections.empty() ? "" : " (" + joined(sections) + ")"));
    }
    const std::optional<fs::file_time_type> logWritten = writeTime(scene.folders.consoleLog);
    if (scene.file.written && logWritten && *logWritten < *scene.file.written) {
        return makeCheck("console-log", game.key, Status::warning, log + " ends before the integration file was written",
                         "Restart " + title + " so that it reads the file.");
    }
    if (!game.readsFileAtFirstMap) {
        return makeCheck("console-log", game.key, Status::ok, log + " does not mention " + fileName);
    }
    return makeCheck("console-log", game.key, Status::warning, log + " does not say the game loaded " + fileName,
                     title + " reads integration files at the first map of a session: enter a match or a demo, then look again.");
}

}  // namespace lumo::doctor
