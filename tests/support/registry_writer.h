#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumo::test {

// Puts values where readRegistryString reads them: the real registry on Windows, a registry
// export file named by LUMO_REGISTRY elsewhere. Every key it writes lies below machineKey(),
// userKey() or one of its owned keys, and goes again with the writer (on POSIX the previous
// LUMO_REGISTRY comes back too). Failures to write throw std::runtime_error.
class RegistryWriter {
public:
    // `ownedKeys` are fixed keys outside machineKey() and userKey() that the writer may fill
    // too, such as the one where Steam is looked for. Whatever is there, below them as well and
    // in both views, is removed when the writer is made and again when it goes, so writers of
    // the same owned key must not overlap in time.
    explicit RegistryWriter(std::vector<std::string> ownedKeys = {});
    ~RegistryWriter();
    RegistryWriter(const RegistryWriter&) = delete;
    RegistryWriter& operator=(const RegistryWriter&) = delete;

    // "HKEY_LOCAL_MACHINE\SOFTWARE\lumo-test-N" and "HKEY_CURRENT_USER\Software\lumo-test-N".
    const std::string& machineKey() const { return machineKey_; }
    const std::string& userKey() const { return userKey_; }

    // A string value (REG_SZ) of the key `keyPath`; "" names the default value. `view32`
    // writes into the 32-bit view of the local machine's software branch (WOW6432Node).
    void setString(const std::string& keyPath, const std::string& name, const std::string& utf8Value,
                   bool view32 = false);
    // A number value (REG_DWORD).
    void setNumber(const std::string& keyPath, const std::string& name, std::uint32_t value);
    // Removes the key `keyPath` with everything below it, in both views; a missing key is no error.
    void removeKey(const std::string& keyPath);

private:
    struct State;
    std::unique_ptr<State> state_;
    std::string machineKey_;
    std::string userKey_;
};

}  // namespace lumo::test
