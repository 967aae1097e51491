#include "util/entry_guard.h"

#include <cstdio>
#include <exception>

namespace lumo::util {

namespace {

// stdio, not iostreams: nothing here may throw again.
int report(const char* program, const char* what) noexcept {
    std::fprintf(stdout, "%s: stopped by an unexpected error: %s\n", program, what);
    std::fflush(stdout);
    return -1;
}

}  // namespace

int runGuarded(const char* program, int (*run)()) noexcept {
    try {
        return run();
    } catch (const std::exception& error) {
        return report(program, error.what());
    } catch (...) {
        return report(program, "an exception of unknown type");
    }
}

}  // namespace lumo::util
