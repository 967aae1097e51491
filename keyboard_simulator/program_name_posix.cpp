// The running executable's path on Linux, read from /proc.
#include "program_name.h"

#include <system_error>

namespace lumo::simulator {

std::filesystem::path runningExecutable() {
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable;
}

}  // namespace lumo::simulator
