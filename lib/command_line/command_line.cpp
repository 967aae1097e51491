#include "command_line/command_line.h"

#include <span>
#include <sstream>

#include "filesystem/user_files.h"
#include "lighting_choice/lighting_settings.h"
#include "status/status_file.h"

namespace lumo::command_line {

namespace {

std::string shown(const std::filesystem::path& file, std::string_view unknown) {
    return file.empty() ? std::string(unknown) : file.string();
}

void writeUsage(std::ostream& out, std::string_view name) {
    out << "Usage: " << name << "             run until ended (messages on standard output)\n"
        << "       " << name << " --help      this screen\n"
        << "       " << name << " --version   the version\n";
}

}  // namespace

ProgramFacts programFacts(const games::Game& game, std::string_view moreEnvironment) {
    return {game.program, game.title, game.port, game.integrationFile, games::readFolder(game.editions.front()) + "/",
            game.key, moreEnvironment};
}

std::string versionLine(std::string_view program) { return std::string(program) + " " + LUMO_VERSION; }

std::string helpText(const ProgramFacts& program) {
    const std::string_view unknown = "(unknown: HOME is not set)";
    std::ostringstream text;
    text << versionLine(program.name) << ": " << program.game << "'s game state as keyboard lighting.\n\n";
    writeUsage(text, program.name);
    text << "\nListens on 127.0.0.1:" << program.port << " for the game's Game State Integration posts.\n"
         << "Copies " << program.integrationFile << " into the game when Steam and the game\n"
         << "are found: " << program.integrationFolder << " (the game reads it at\n"
         << "launch: start " << program.name << " first). Lights through the keyboard maker's SDK when one\n"
         << "is registered, else through OpenRGB.\n\n"
         << "Files:\n"
         << "  options   " << shown(lumo::filesystem::options_file(), unknown) << "\n"
         << "  settings  " << shown(lumo::lighting::settingsFile(), unknown)
         << "  (lighting, openrgb)\n"
         << "  status    " << shown(lumo::status::statusFile(std::string(program.name)).parent_path(), unknown) << "  (read by lumo-doctor)\n"
         << "Environment:\n"
         << "  LUMO_LIGHTING   auto, sdk, openrgb or none; overrides settings.json\n"
         << "  LUMO_OPENRGB    OpenRGB's SDK server, HOST[:PORT] (default 127.0.0.1:6742)\n"
         << "  LUMO_OPTIONS    another options file\n"
         << "  LUMO_REGISTRY   the SDK's registry stand-in (default /etc/lumo/registry.reg)\n"
         << "  XDG_CONFIG_HOME, XDG_STATE_HOME, HOME   where the files above are\n"
         << program.moreEnvironment << "When the keyboard does not react: lumo-doctor --game " << program.doctorGame
         << "\n";
    return text.str();
}

std::optional<int> answerArguments(int argc, const char* const* argv, const ProgramFacts& program,
                                   std::ostream& out, std::ostream& err) {
    // argv[0] is the program's name, absent altogether when argc is 0.
    const std::span<const char* const> arguments(argv + (argc > 0 ? 1 : 0), argc > 1 ? argc - 1 : 0);
    if (arguments.empty()) return std::nullopt;
    const std::string_view first = arguments.front();
    if (arguments.size() == 1 && first == "--version") {
        out << versionLine(program.name) << "\n";
        return 0;
    }
    if (arguments.size() == 1 && first == "--help") {
        out << helpText(program);
        return 0;
    }
    if (arguments.size() == 1)
        err << program.name << ": unknown argument \"" << first << "\"\n";
    else
        err << program.name << ": takes at most one argument\n";
    writeUsage(err, program.name);
    return 2;
}

}  // namespace lumo::command_line
