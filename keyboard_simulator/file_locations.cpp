#include "file_locations.h"

namespace lumo::simulator {

std::filesystem::path optionsFile() {
    std::filesystem::path chosen = environmentPath("LUMO_OPTIONS");
    return chosen.empty() ? defaultOptionsFile() : chosen;
}

std::filesystem::path stateFile() { return environmentPath("LUMO_SIM_STATE"); }

std::filesystem::path journalFile() { return environmentPath("LUMO_SIM_JOURNAL"); }

}  // namespace lumo::simulator
