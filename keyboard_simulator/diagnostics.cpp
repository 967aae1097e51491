#include "diagnostics.h"

#include <cstdio>
#include <set>

namespace lumo::simulator {

void reportOnce(const std::string& problem) {
    static std::set<std::string> reported;
    if (!reported.insert(problem).second) return;
    std::fprintf(stderr, "keyboard simulator: %s\n", problem.c_str());
    std::fflush(stderr);
}

}  // namespace lumo::simulator
