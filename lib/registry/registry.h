#pragma once

#include <string>

namespace lumo::util {

// The predefined root keys; `none` stands for the null handle.
enum class RegistryRoot { none, localMachine, currentUser, classesRoot, users };

// Access flag that selects the 32-bit registry view (the value of KEY_WOW64_32KEY).
inline constexpr int kRegistryView32 = 0x0200;

// Finds the first of "HKEY_LOCAL_MACHINE\", "HKEY_CURRENT_USER\", "HKEY_CLASSES_ROOT\",
// "HKEY_USERS\" (in that order) contained in `keyPath`. On a match `subKey`, when given,
// receives the text after the first backslash of `keyPath`; without one it is left untouched.
RegistryRoot parseRegistryRoot(const std::string& keyPath, std::string* subKey = nullptr);

// The string value `valueName` ("" for the default value) of the key `keyPath`, as UTF-8.
// `extraFlags` is 0 or kRegistryView32. Values whose UTF-16 form with terminator exceeds
// 520 bytes, and every failure, give the empty string; never throws.
// On POSIX the registry is the export-format file named by LUMO_REGISTRY, else
// /etc/lumo/registry.reg.
std::string readRegistryString(const std::string& keyPath, const std::string& valueName, int extraFlags = 0);

}  // namespace lumo::util
