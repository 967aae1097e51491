#include "filesystem/user_files.h"

namespace lumo::filesystem {

std::filesystem::path options_file() {
    std::filesystem::path chosen = environment_path("LUMO_OPTIONS");
    return chosen.empty() ? default_options_file() : chosen;
}

std::filesystem::path default_options_file() {
    const std::filesystem::path folder = config_folder();
    return folder.empty() ? folder : folder / "options.json";
}

}  // namespace lumo::filesystem
