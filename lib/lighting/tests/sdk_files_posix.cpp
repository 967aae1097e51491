// Signed copies of the stand-in SDKs for the POSIX loader's tests.
#include "sdk_files.h"

#include <sodium.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "files.h"

namespace lumo::lighting::sdk_test {

void copyFile(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

std::string copySignedLibrary(const std::string& library, const std::string& to) {
    copyFile(library, to);
    copyFile(library + ".sig", to + ".sig");
    return to;
}

void signWithAnotherKey(const std::string& library) {
    if (::sodium_init() < 0) {
        throw std::runtime_error("sodium_init failed");
    }
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    ::crypto_sign_keypair(publicKey, secretKey);
    const std::string bytes = lumo::test::readFile(library);
    std::string signature(crypto_sign_BYTES, '\0');
    ::crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                           reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), secretKey);
    lumo::test::writeFile(library + ".sig", signature);
}

std::string pathOfLength(const std::string& base, std::size_t length) {
    std::string path = base;
    // Folder names well below the 255-byte limit of one name.
    while (length - path.size() > 120) {
        path += "/" + std::string(100, 'd');
    }
    std::filesystem::create_directories(path);
    path += "/" + std::string(length - path.size() - 1, 'f');
    return path;
}

int testSdkLoads() {
    const char* loads = std::getenv("LUMO_TEST_SDK_LOADS");
    return loads == nullptr ? 0 : std::atoi(loads);
}

}  // namespace lumo::lighting::sdk_test
