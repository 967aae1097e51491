// readBindings over a config.cfg in a Steam folder found through the registry stand-in: the
// binding table keeps its 22 commands, each on a usable key taken from the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "binding_checks.h"
#include "cs_go_integration/key_bindings.h"
#include "fake_steam.h"
#include "files.h"
#include "text.h"

using namespace roundglow;

namespace {

struct Setup {
    lumo::test::FakeSteam steam{"730", "Counter-Strike Global Offensive"};
    std::filesystem::path configFile = steam.game() / "csgo" / "cfg" / "config.cfg";
    std::map<std::string, std::string> defaults;

    Setup() {
        const std::filesystem::path registry = steam.steam() / "registry.reg";
        lumo::test::writeFile(registry, lumo::test::registryFile(steam.registry()));
        setenv("LUMO_REGISTRY", registry.c_str(), 1);
        buildKeyCellTable();
        buildDefaultBindings();
        defaults = bindingTable;
    }
};

Setup* setup = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setup = new Setup;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    lumo::test::writeFile(setup->configFile, text);
    buildDefaultBindings();
    readBindings();
    checkBindingTable(setup->defaults, [&](const std::string& key) {
        return key.find_first_of("\"\n") == std::string::npos && text.find(key) != std::string::npos;
    });
    return 0;
}
