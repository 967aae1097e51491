// Registry string reads from an export-format file standing in for the registry on POSIX systems.
#include "registry/registry.h"

#include <cstdlib>
#include <exception>

#include "io/binary_stream.h"
#include "registry/registry_file.h"

namespace lumo::util {

std::string readRegistryString(const std::string& keyPath, const std::string& valueName, int extraFlags) {
    // Like the Windows read, a path without a root name never touches the registry.
    if (parseRegistryRoot(keyPath) == RegistryRoot::none) return {};
    const char* fileName = std::getenv("LUMO_REGISTRY");
    try {
        BinaryInputStream file((fileName != nullptr && *fileName != '\0') ? fileName
                                                                          : "/etc/lumo/registry.reg");
        file.open();
        const std::optional<RegistryKeys> keys = parseRegistryFile(file.readAll());
        if (!keys) return {};
        return findRegistryString(*keys, keyPath, valueName, extraFlags);
    } catch (const std::exception&) {
        // A missing or unreadable file is an empty registry.
        return {};
    }
}

}  // namespace lumo::util
