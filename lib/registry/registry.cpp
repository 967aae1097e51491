#include "registry/registry.h"

#include <array>
#include <string_view>
#include <utility>

namespace lumo::util {

RegistryRoot parseRegistryRoot(const std::string& keyPath, std::string* subKey) {
    // Order matters: a path naming two roots resolves to the one tested first.
    static constexpr std::array<std::pair<std::string_view, RegistryRoot>, 4> kRoots{{
        {"HKEY_LOCAL_MACHINE\\", RegistryRoot::localMachine},
        {"HKEY_CURRENT_USER\\", RegistryRoot::currentUser},
        {"HKEY_CLASSES_ROOT\\", RegistryRoot::classesRoot},
        {"HKEY_USERS\\", RegistryRoot::users},
    }};
    for (const auto& [name, root] : kRoots) {
        if (keyPath.find(name) == std::string::npos) continue;
        // The root name is expected at the start, so the sub-key follows the first backslash.
        if (subKey != nullptr) *subKey = keyPath.substr(keyPath.find('\\') + 1);
        return root;
    }
    return RegistryRoot::none;
}

}  // namespace lumo::util
