// Opening the simulator library in its tests, for POSIX systems.
#include <dlfcn.h>

#include <stdexcept>

#include "simulator_fixture.h"

namespace lumo::simulator::test {

void* openLibrary(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) throw std::runtime_error(::dlerror());
    return handle;
}

}  // namespace lumo::simulator::test
