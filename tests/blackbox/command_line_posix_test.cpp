// The programs' only arguments, --version and --help, on the real binaries: each answers and
// ends, anything else is refused with the usage. Without arguments the programs serve, which
// every other black-box test shows. The Windows programs have no console to answer on.
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "program_run.h"

namespace lumo::test {
namespace {

TEST(CommandLine, AnswersVersionAndHelpAndRefusesAnythingElse) {
    struct Case {
        const char* binary;
        std::vector<std::string> arguments;
        int exitCode;
        std::string output;                 // a regular expression over all of standard output
        std::vector<std::string> inOutput;  // lines the output holds
        std::string inErrors;               // "" for none at all
    };
    const std::vector<Case> cases = {
        {heroglowBinary(), {"--version"}, 0, "heroglow [0-9]+\\.[0-9]+(\\.[0-9]+)*\n", {}, ""},
        {roundglowBinary(), {"--version"}, 0, "roundglow [0-9]+\\.[0-9]+(\\.[0-9]+)*\n", {}, ""},
        {heroglowBinary(), {"--help"}, 0, "heroglow [0-9.]+: Dota 2's game state as keyboard lighting\\.\n[\\s\\S]*",
         {"Listens on 127.0.0.1:3002 for the game's Game State Integration posts.",
          "  options   (unknown: HOME is not set)", "  LUMO_LIGHTING   auto, sdk, openrgb or none; overrides settings.json",
          "  HEROGLOW_ITEM_FEED_URL   the item catalogue's address",
          "When the keyboard does not react: lumo-doctor --game dota"},
         ""},
        {roundglowBinary(), {"--help"}, 0, "roundglow [0-9.]+: Counter-Strike's game state [\\s\\S]*",
         {"Listens on 127.0.0.1:5000 for the game's Game State Integration posts.",
          "When the keyboard does not react: lumo-doctor --game cs"},
         ""},
        {heroglowBinary(), {"--verbose"}, 2, "", {}, "heroglow: unknown argument \"--verbose\"\nUsage: heroglow "},
        {heroglowBinary(), {""}, 2, "", {}, "heroglow: unknown argument \"\"\n"},
        {roundglowBinary(), {"-h"}, 2, "", {}, "roundglow: unknown argument \"-h\"\n"},
        {roundglowBinary(), {"--help", "--version"}, 2, "", {}, "roundglow: takes at most one argument\nUsage: "},
    };
    TempFolder folder("command-line");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.binary) + " " + (c.arguments.empty() ? "" : c.arguments.front()));
        const ProgramOutcome outcome = runProgram(c.binary, c.arguments, folder.path());
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_TRUE(std::regex_match(outcome.output, std::regex(c.output))) << outcome.output;
        for (const std::string& line : c.inOutput)
            EXPECT_NE(outcome.output.find(line + "\n"), std::string::npos) << line << "\nin\n" << outcome.output;
        if (c.inErrors.empty())
            EXPECT_EQ(outcome.errors, "");
        else
            EXPECT_TRUE(outcome.errors.starts_with(c.inErrors)) << outcome.errors;
    }
}

}  // namespace
}  // namespace lumo::test
