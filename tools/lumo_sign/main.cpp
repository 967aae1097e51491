// lumo-sign: signs SDK libraries for the POSIX loader and makes key pairs.
#include "signing.h"

#include <sodium.h>
#include <sys/stat.h>

#include <cstring>
#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: lumo-sign KEYFILE LIBRARY\n"
    "         writes LIBRARY.sig, the detached signature of LIBRARY made with KEYFILE\n"
    "       lumo-sign --generate KEYFILE PUBFILE\n"
    "         makes KEYFILE unless it exists, then writes its public key to PUBFILE\n";

int fail(const std::string& message) {
    std::cerr << "lumo-sign: " << message << "\n";
    return 1;
}

int generate(const std::string& keyPath, const std::string& publicKeyPath) {
    lumo::signing::Seed seed{};
    struct stat status {};
    // An existing key is kept: replacing it would orphan everything it signed.
    const bool exists = ::stat(keyPath.c_str(), &status) == 0;
    std::string error =
        exists ? lumo::signing::readKeyFile(keyPath, seed) : lumo::signing::createKeyFile(keyPath, seed);
    std::string hex;
    if (error.empty()) {
        error = lumo::signing::writePublicKeyFile(publicKeyPath, seed, hex);
    }
    ::sodium_memzero(seed.data(), seed.size());
    if (!error.empty()) {
        return fail(error);
    }
    std::cout << hex << "\n";
    return 0;
}

int sign(const std::string& keyPath, const std::string& libraryPath) {
    lumo::signing::Seed seed{};
    std::string error = lumo::signing::readKeyFile(keyPath, seed);
    if (error.empty()) {
        error = lumo::signing::signLibrary(seed, libraryPath);
    }
    ::sodium_memzero(seed.data(), seed.size());
    return error.empty() ? 0 : fail(error);
}

}  // namespace

int main(int argc, char** argv) {
    const bool generating = argc == 4 && std::strcmp(argv[1], "--generate") == 0;
    const bool signing = argc == 3 && argv[1][0] != '-';
    if (!generating && !signing) {
        std::cerr << kUsage;
        return 2;
    }
    if (::sodium_init() < 0) {
        return fail("libsodium could not start");
    }
    return generating ? generate(argv[2], argv[3]) : sign(argv[1], argv[2]);
}
