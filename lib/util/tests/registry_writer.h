#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace lumo::util::test {

// Puts values where readRegistryString reads them: the real registry on Windows, a registry
// export file named by LUMO_REGISTRY elsewhere. Every key it writes lies below machineKey()
// or userKey(), names unique to this writer, and goes again with the writer (on POSIX the
// previous LUMO_REGISTRY comes back too). Failures to write throw std::runtime_error.
class RegistryWriter {
public:
    RegistryWriter();
    ~RegistryWriter();
    RegistryWriter(const RegistryWriter&) = delete;
    RegistryWriter& operator=(const RegistryWriter&) = delete;

    // "HKEY_LOCAL_MACHINE\SOFTWARE\lumo-test-N" and "HKEY_CURRENT_USER\Software\lumo-test-N".
    const std::string& machineKey() const { return machineKey_; }
    const std::string& userKey() const { return userKey_; }

    // A string value (REG_SZ) of the key `keyPath`, below machineKey() or userKey(); "" names
    // the default value. `view32` writes into the 32-bit view of the local machine's
    // software branch (WOW6432Node).
    void setString(const std::string& keyPath, const std::string& name, const std::string& utf8Value,
                   bool view32 = false);
    // A number value (REG_DWORD).
    void setNumber(const std::string& keyPath, const std::string& name, std::uint32_t value);

private:
    struct State;
    std::unique_ptr<State> state_;
    std::string machineKey_;
    std::string userKey_;
};

}  // namespace lumo::util::test
