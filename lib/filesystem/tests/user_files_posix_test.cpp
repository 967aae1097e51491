#include "filesystem/user_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "environment.h"

namespace lumo::filesystem {
namespace {

// The XDG base directory rules: an absolute variable wins, a relative or empty one is
// ignored for ~/..., and nothing is known without HOME. LUMO_OPTIONS names another file.
TEST(UserFiles, FoldersFollowTheXdgRules) {
    const struct {
        const char* name;
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        const char* config;
        const char* state;
    } cases[] = {
        {"absolute variable", "/x", "/home/p", "/x/lumo", "/x/lumo"},
        {"relative variable", "x", "/home/p", "/home/p/.config/lumo", "/home/p/.local/state/lumo"},
        {"empty variable", "", "/home/p", "/home/p/.config/lumo", "/home/p/.local/state/lumo"},
        {"no variable", std::nullopt, "/home/p", "/home/p/.config/lumo", "/home/p/.local/state/lumo"},
        {"no variable, no home", std::nullopt, std::nullopt, "", ""},
        {"absolute variable, no home", "/x", std::nullopt, "/x/lumo", "/x/lumo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScopedEnvironment config("XDG_CONFIG_HOME", c.xdg);
        const test::ScopedEnvironment state("XDG_STATE_HOME", c.xdg);
        const test::ScopedEnvironment home("HOME", c.home);
        const test::ScopedUnsetEnvironment chosen("LUMO_OPTIONS");
        EXPECT_EQ(config_folder(), std::filesystem::path(c.config));
        EXPECT_EQ(state_folder(), std::filesystem::path(c.state));
        EXPECT_EQ(options_file(), *c.config ? std::filesystem::path(c.config) / "options.json" : std::filesystem::path());
    }
    const test::ScopedEnvironment chosen("LUMO_OPTIONS", "/elsewhere/o.json");
    EXPECT_EQ(options_file(), std::filesystem::path("/elsewhere/o.json"));
}

}  // namespace
}  // namespace lumo::filesystem
