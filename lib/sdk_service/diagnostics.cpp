#include "sdk_service/diagnostics.h"

#include <cstdio>
#include <set>

// Alone in its file, so that a program may bring a reportOnce of its own instead (the options
// file fuzzer does).
namespace lumo::sdk_service {

void reportOnce(const std::string& problem) {
    static std::set<std::string> reported;
    if (!reported.insert(problem).second) return;
    std::fprintf(stderr, "keyboard simulator: %s\n", problem.c_str());
    std::fflush(stderr);
}

}  // namespace lumo::sdk_service
