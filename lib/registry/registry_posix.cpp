// Registry string reads from an export-format file standing in for the registry on POSIX systems.
#include "registry/registry.h"

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <mutex>
#include <set>
#include <system_error>

#include "io/binary_stream.h"
#include "registry/registry_file.h"

namespace lumo::util {

namespace {

// Every read goes back to the file, so a broken one is named once per process, not per read.
void reportOnce(const std::string& fileName, const std::string& cause) {
    static std::mutex guard;
    static std::set<std::string> reported;
    const std::lock_guard<std::mutex> lock(guard);
    if (!reported.insert(fileName).second) return;
    std::cerr << "registry file \"" << fileName << "\" read as empty: " << cause << std::endl;
}

}  // namespace

std::string readRegistryString(const std::string& keyPath, const std::string& valueName, int extraFlags) {
    // Like the Windows read, a path without a root name never touches the registry.
    if (parseRegistryRoot(keyPath) == RegistryRoot::none) return {};
    const char* configured = std::getenv("LUMO_REGISTRY");
    const std::string fileName =
        (configured != nullptr && *configured != '\0') ? configured : "/etc/lumo/registry.reg";
    try {
        BinaryInputStream file(fileName);
        errno = 0;
        file.open();
        const std::optional<RegistryKeys> keys = parseRegistryFile(file.readAll());
        if (!keys) {
            reportOnce(fileName, "it is not a registry export file");
            return {};
        }
        return findRegistryString(*keys, keyPath, valueName, extraFlags);
    } catch (const std::exception& error) {
        // A missing file is an empty registry, and the usual case; anything else says why.
        const int cause = errno;
        if (cause != ENOENT)
            reportOnce(fileName, cause != 0 ? std::generic_category().message(cause) : error.what());
        return {};
    }
}

}  // namespace lumo::util
