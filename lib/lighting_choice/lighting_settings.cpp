#include "lighting_choice/lighting_settings.h"

#include <charconv>
#include <cstdlib>
#include <optional>
#include <sstream>

#include <nlohmann/json.hpp>

#include "filesystem/std_path.h"
#include "filesystem/user_files.h"
#include "io/whole_file.h"
#include "text/ascii.h"

namespace lumo::lighting {

namespace {

constexpr const char* kChoiceWords = "\"auto\", \"sdk\", \"openrgb\" or \"none\"";

void reportChoice(std::ostream& problems, const std::string& where, std::string_view value) {
    problems << "Lighting settings: " << where << " \"" << value << "\" is not " << kChoiceWords
             << "; keeping the default" << std::endl;
}

void reportAddress(std::ostream& problems, const std::string& where, std::string_view value) {
    problems << "Lighting settings: " << where << " \"" << value
             << "\" is not HOST or HOST:PORT; keeping " << describe(ServerAddress{}) << std::endl;
}

}  // namespace

std::optional<LightingChoice> parseLightingChoice(std::string_view text) {
    const std::string word = lumo::util::lowercaseAscii(lumo::util::trimBlanks(text));
    if (word == "auto") return LightingChoice::automatic;
    if (word == "sdk") return LightingChoice::makerSdk;
    if (word == "openrgb") return LightingChoice::openRgb;
    if (word == "none") return LightingChoice::none;
    return std::nullopt;
}

std::optional<ServerAddress> parseServerAddress(std::string_view text) {
    text = lumo::util::trimBlanks(text);
    ServerAddress address;
    const std::size_t colon = text.rfind(':');
    std::string_view host = text.substr(0, colon);
    if (colon != std::string_view::npos) {
        const std::string_view port = text.substr(colon + 1);
        unsigned value = 0;
        const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || error != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535)
            return std::nullopt;
        address.port = static_cast<std::uint16_t>(value);
    }
    if (host.empty() || host.find_first_of(" \t:/") != std::string_view::npos) return std::nullopt;
    address.host = std::string(host);
    return address;
}

std::string describe(const ServerAddress& address) { return address.host + ":" + std::to_string(address.port); }

void applySettingsFile(std::string_view text, const std::string& file, LightingSettings& settings,
                       std::ostream& problems) {
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception&) {
        problems << "Lighting settings: " << file << " is not valid JSON; keeping the defaults" << std::endl;
        return;
    }
    if (!document.is_object()) {
        problems << "Lighting settings: " << file << " is not a JSON object; keeping the defaults" << std::endl;
        return;
    }
    if (const auto lighting = document.find("lighting"); lighting != document.end()) {
        const std::string value = lighting->is_string() ? lighting->get<std::string>() : lighting->dump();
        if (const auto choice = lighting->is_string() ? parseLightingChoice(value) : std::nullopt)
            settings.choice = *choice;
        else
            reportChoice(problems, file + ": \"lighting\"", value);
    }
    if (const auto server = document.find("openrgb"); server != document.end()) {
        const std::string value = server->is_string() ? server->get<std::string>() : server->dump();
        if (const auto address = server->is_string() ? parseServerAddress(value) : std::nullopt)
            settings.openRgb = *address;
        else
            reportAddress(problems, file + ": \"openrgb\"", value);
    }
}

void applyEnvironment(LightingSettings& settings, std::ostream& problems) {
    if (const char* value = std::getenv("LUMO_LIGHTING"); value != nullptr && *value != '\0') {
        if (const auto choice = parseLightingChoice(value))
            settings.choice = *choice;
        else
            reportChoice(problems, "LUMO_LIGHTING", value);
    }
    if (const char* value = std::getenv("LUMO_OPENRGB"); value != nullptr && *value != '\0') {
        if (const auto address = parseServerAddress(value))
            settings.openRgb = *address;
        else
            reportAddress(problems, "LUMO_OPENRGB", value);
    }
}

std::filesystem::path settingsFile() {
    const std::filesystem::path folder = lumo::filesystem::config_folder();
    return folder.empty() ? folder : folder / "settings.json";
}

LightingSettings readLightingSettings(std::ostream& problems) {
    LightingSettings settings;
    const std::filesystem::path file = settingsFile();
    if (!file.empty()) {
        // A missing file is the defaults; so is one that cannot be opened.
        const std::optional<std::string> text = util::readSharedFile(lumo::filesystem::from_std_path(file));
        if (text) applySettingsFile(*text, file.string(), settings, problems);
    }
    applyEnvironment(settings, problems);
    return settings;
}

}  // namespace lumo::lighting
