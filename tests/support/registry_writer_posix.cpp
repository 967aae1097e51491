// Test registry values in a registry export file named by LUMO_REGISTRY, for POSIX systems.
#include "registry_writer.h"

#include <cstdio>
#include <map>
#include <random>

#include "environment.h"
#include "files.h"
#include "text.h"
#include "text/ascii.h"

namespace lumo::test {
namespace {

std::string quoted(const std::string& text) { return "\"" + regQuoted(text) + "\""; }

// The 32-bit view of HKEY_LOCAL_MACHINE\SOFTWARE\X is HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\X.
std::string inView32(const std::string& keyPath) {
    const std::string software = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";
    if (keyPath.rfind(software, 0) != 0) return keyPath;
    return software + "WOW6432Node\\" + keyPath.substr(software.size());
}

}  // namespace

struct RegistryWriter::State {
    TempFolder folder{"lumo-registry"};
    std::string file = folder.text("registry.reg");
    ScopedEnvironment registry{"LUMO_REGISTRY", file};
    // Key path -> value name -> data, written whole after each change.
    std::map<std::string, std::map<std::string, std::string>> keys;

    void write() const {
        std::string sections;
        for (const auto& [key, values] : keys) {
            sections += "\r\n[" + key + "]\r\n";
            for (const auto& [name, data] : values)
                sections += (name.empty() ? "@" : quoted(name)) + "=" + data + "\r\n";
        }
        writeFile(folder.path() / "registry.reg", registryFile(sections));
    }
};

// The file is the writer's own, so no owned key holds anything before it writes one.
RegistryWriter::RegistryWriter(std::vector<std::string>) : state_(std::make_unique<State>()) {
    const std::string name = "lumo-test-" + std::to_string(std::random_device()());
    machineKey_ = "HKEY_LOCAL_MACHINE\\SOFTWARE\\" + name;
    userKey_ = "HKEY_CURRENT_USER\\Software\\" + name;
    state_->write();
}

RegistryWriter::~RegistryWriter() = default;

void RegistryWriter::setString(const std::string& keyPath, const std::string& name,
                               const std::string& utf8Value, bool view32) {
    state_->keys[view32 ? inView32(keyPath) : keyPath][name] = quoted(utf8Value);
    state_->write();
}

void RegistryWriter::setNumber(const std::string& keyPath, const std::string& name, std::uint32_t value) {
    char data[16];
    std::snprintf(data, sizeof data, "dword:%08x", value);
    state_->keys[keyPath][name] = data;
    state_->write();
}

void RegistryWriter::removeKey(const std::string& keyPath) {
    for (const std::string& key : {keyPath, inView32(keyPath)}) {
        std::erase_if(state_->keys, [&](const auto& entry) {
            return util::equalsIgnoringAsciiCase(entry.first, key) ||
                   util::startsWithIgnoringAsciiCase(entry.first, key + "\\");
        });
    }
    state_->write();
}

}  // namespace lumo::test
