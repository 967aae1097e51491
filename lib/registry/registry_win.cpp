// Registry string reads through RegOpenKeyExW and RegQueryValueExW for Windows.
#include "registry/registry.h"

#include "util/windows_support.h"

#include <array>

#include "util/unique_handle.h"
#include "text/utf.h"

namespace lumo::util {
namespace {

struct KeyTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static void close(Handle key) { RegCloseKey(key); }
};
using ScopedKey = UniqueHandle<KeyTraits>;

HKEY rootHandle(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::localMachine:
        return HKEY_LOCAL_MACHINE;
    case RegistryRoot::currentUser:
        return HKEY_CURRENT_USER;
    case RegistryRoot::classesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::users:
        return HKEY_USERS;
    case RegistryRoot::none:
        break;
    }
    return nullptr;
}

// Key and value names are ASCII: each byte becomes one UTF-16 unit.
std::wstring widenBytes(const std::string& text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (char c : text) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}

}  // namespace

std::string readRegistryString(const std::string& keyPath, const std::string& valueName, int extraFlags) {
    std::string subKey;
    const HKEY root = rootHandle(parseRegistryRoot(keyPath, &subKey));
    if (root == nullptr) return {};

    ScopedKey key;
    if (RegOpenKeyExW(root, widenBytes(subKey).c_str(), 0, KEY_READ | static_cast<REGSAM>(extraFlags),
                      key.receive()) != ERROR_SUCCESS) {
        return {};
    }

    // One unit more than the query may fill keeps the text terminated even when the stored
    // data fills all 520 bytes without a NUL of its own.
    std::array<char16_t, 261> buffer{};
    DWORD size = 520;
    DWORD type = REG_NONE;
    // Only REG_SZ is a string: a number's bytes would read as text otherwise.
    if (RegQueryValueExW(key.get(), widenBytes(valueName).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return toUtf8(buffer.data());
}

}  // namespace lumo::util
