#include "sdk_service/file_locations.h"

namespace lumo::sdk_service {

std::filesystem::path optionsFile() {
    std::filesystem::path chosen = environmentPath("LUMO_OPTIONS");
    return chosen.empty() ? defaultOptionsFile() : chosen;
}

}  // namespace lumo::sdk_service
