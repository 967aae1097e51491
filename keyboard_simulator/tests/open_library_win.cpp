// Opening the simulator library in its tests, for Windows.
#include <stdexcept>

#include "simulator_fixture.h"
#include "text/utf.h"
#include "util/windows_support.h"

namespace lumo::simulator::test {

void* openLibrary(const std::string& path) {
    const HMODULE handle = ::LoadLibraryW(lumo::util::fromUtf8(path).c_str());
    if (handle == nullptr) {
        const DWORD error = ::GetLastError();
        throw std::runtime_error("cannot load " + path + ": error " + std::to_string(error));
    }
    return handle;
}

}  // namespace lumo::simulator::test
