#pragma once

#include <filesystem>

// Where the programs and their tools keep a user's files. Each call looks again, so a test may
// switch folders between calls. An empty path means "unknown" (the user's folders could not
// be found); the folders need not exist.

namespace lumo::filesystem {

// The value of the environment variable `name` as a path; empty when unset or empty.
std::filesystem::path environment_path(const char* name);

// <the user's configuration folder>/lumo: $XDG_CONFIG_HOME (absolute), else ~/.config;
// %APPDATA% on Windows.
std::filesystem::path config_folder();
// <the user's state folder>/lumo: $XDG_STATE_HOME (absolute), else ~/.local/state;
// %LOCALAPPDATA% on Windows.
std::filesystem::path state_folder();

// The options file the SDK service keeps: LUMO_OPTIONS when set, else default_options_file().
std::filesystem::path options_file();
// config_folder()/options.json.
std::filesystem::path default_options_file();

}  // namespace lumo::filesystem
