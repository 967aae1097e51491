#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "openrgb_lighting/renderer.h"

// Which lighting the programs use and where OpenRGB's server is. The maker's SDK keeps its
// options in its host application; OpenRGB has no such host, so these two settings live in
// settings.json beside the options file ($XDG_CONFIG_HOME/lumo/, %APPDATA%\lumo\), and the
// environment overrides the file:
//   LUMO_LIGHTING   "auto" (default: the maker's SDK, else OpenRGB when its server answers),
//                   "sdk", "openrgb" or "none"           file: { "lighting": "openrgb" }
//   LUMO_OPENRGB    "HOST", "HOST:PORT" (default 127.0.0.1:6742)   file: { "openrgb": "..." }

namespace lumo::lighting {

using lumo::openrgb_lighting::ServerAddress;

enum class LightingChoice { automatic, makerSdk, openRgb, none };

struct LightingSettings {
    LightingChoice choice = LightingChoice::automatic;
    ServerAddress openRgb;
};

std::optional<LightingChoice> parseLightingChoice(std::string_view text);
// "HOST" or "HOST:PORT" with a port 1-65535; nullopt for anything else.
std::optional<ServerAddress> parseServerAddress(std::string_view text);
// "127.0.0.1:6742"
std::string describe(const ServerAddress& address);

// Applies the settings file's text (named `file` in reports) to `settings`. Each problem is
// one line on `problems`, and the value concerned keeps what it had.
void applySettingsFile(std::string_view text, const std::string& file, LightingSettings& settings,
                       std::ostream& problems);
// Applies LUMO_LIGHTING and LUMO_OPENRGB where set, reporting as above.
void applyEnvironment(LightingSettings& settings, std::ostream& problems);

// The settings file of this user; empty when the user's folders are unknown.
std::filesystem::path settingsFile();
// The file (when present), then the environment.
LightingSettings readLightingSettings(std::ostream& problems);

}  // namespace lumo::lighting
