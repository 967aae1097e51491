// Test registry values in the real registry (of the Wine prefix under test), for Windows.
#include "registry_writer.h"

#include "util/windows_support.h"

#include <random>
#include <stdexcept>

#include "registry/registry.h"
#include "util/unique_handle.h"
#include "text/utf.h"

namespace lumo::test {
namespace {

using lumo::util::fromUtf8;
using lumo::util::parseRegistryRoot;
using lumo::util::RegistryRoot;

struct KeyTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static void close(Handle key) { ::RegCloseKey(key); }
};
using ScopedKey = lumo::util::UniqueHandle<KeyTraits>;

HKEY rootHandle(RegistryRoot root) {
    return root == RegistryRoot::localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

ScopedKey createKey(const std::string& keyPath, REGSAM view) {
    std::string subKey;
    const RegistryRoot root = parseRegistryRoot(keyPath, &subKey);
    if (root != RegistryRoot::localMachine && root != RegistryRoot::currentUser)
        throw std::runtime_error("test keys live below HKLM or HKCU: " + keyPath);
    ScopedKey key;
    const LSTATUS status = ::RegCreateKeyExW(rootHandle(root), fromUtf8(subKey).c_str(), 0, nullptr, 0,
                                             KEY_SET_VALUE | view, nullptr, key.receive(), nullptr);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("RegCreateKeyExW " + std::to_string(status) + ": " + keyPath);
    return key;
}

void setValue(const std::string& keyPath, const std::string& name, REGSAM view, DWORD type, const void* data,
              DWORD size) {
    const ScopedKey key = createKey(keyPath, view);
    const LSTATUS status =
        ::RegSetValueExW(key.get(), fromUtf8(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("RegSetValueExW " + std::to_string(status) + ": " + name);
}

// Deletes `name` below `root\branch` in the given view; a key that was never made is no error.
void deleteTree(HKEY root, const std::wstring& branch, const std::wstring& name, REGSAM view) {
    ScopedKey parent;
    if (::RegOpenKeyExW(root, branch.c_str(), 0, KEY_ALL_ACCESS | view, parent.receive()) != ERROR_SUCCESS)
        return;
    ::RegDeleteTreeW(parent.get(), name.c_str());
}

// Deletes the key `keyPath` with everything below it from both views.
void deleteKey(const std::string& keyPath) {
    std::string subKey;
    const RegistryRoot root = parseRegistryRoot(keyPath, &subKey);
    const std::size_t lastSeparator = subKey.rfind('\\');
    if ((root != RegistryRoot::localMachine && root != RegistryRoot::currentUser) ||
        lastSeparator == std::string::npos)
        throw std::runtime_error("not a test key: " + keyPath);
    const std::wstring branch = fromUtf8(subKey.substr(0, lastSeparator));
    const std::wstring name = fromUtf8(subKey.substr(lastSeparator + 1));
    deleteTree(rootHandle(root), branch, name, KEY_WOW64_64KEY);
    deleteTree(rootHandle(root), branch, name, KEY_WOW64_32KEY);
}

}  // namespace

struct RegistryWriter::State {
    std::wstring name;
    std::vector<std::string> ownedKeys;
};

RegistryWriter::RegistryWriter(std::vector<std::string> ownedKeys) : state_(std::make_unique<State>()) {
    for (const std::string& key : ownedKeys) deleteKey(key);
    state_->ownedKeys = std::move(ownedKeys);
    const std::string name = "lumo-test-" + std::to_string(std::random_device()());
    state_->name = fromUtf8(name);
    machineKey_ = "HKEY_LOCAL_MACHINE\\SOFTWARE\\" + name;
    userKey_ = "HKEY_CURRENT_USER\\Software\\" + name;
}

RegistryWriter::~RegistryWriter() {
    deleteTree(HKEY_LOCAL_MACHINE, L"SOFTWARE", state_->name, KEY_WOW64_64KEY);
    deleteTree(HKEY_LOCAL_MACHINE, L"SOFTWARE", state_->name, KEY_WOW64_32KEY);
    deleteTree(HKEY_CURRENT_USER, L"Software", state_->name, 0);
    for (const std::string& key : state_->ownedKeys) deleteKey(key);
}

void RegistryWriter::setString(const std::string& keyPath, const std::string& name,
                               const std::string& utf8Value, bool view32) {
    const std::wstring wide = fromUtf8(utf8Value);
    if (wide.empty() && !utf8Value.empty()) throw std::runtime_error("not UTF-8: " + utf8Value);
    setValue(keyPath, name, view32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY, REG_SZ, wide.c_str(),
             static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void RegistryWriter::setNumber(const std::string& keyPath, const std::string& name, std::uint32_t value) {
    const DWORD data = value;
    setValue(keyPath, name, KEY_WOW64_64KEY, REG_DWORD, &data, sizeof data);
}

void RegistryWriter::removeKey(const std::string& keyPath) { deleteKey(keyPath); }

}  // namespace lumo::test
