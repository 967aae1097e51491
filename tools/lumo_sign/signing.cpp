// Key files and detached signatures of lumo-sign, for POSIX systems.
#include "signing.h"

#include "lighting/sdk_library_limits.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace lumo::signing {
namespace {

static_assert(kSeedBytes == crypto_sign_SEEDBYTES);

// Wipes the secret key when leaving scope, however that happens.
struct SecretKey {
    unsigned char bytes[crypto_sign_SECRETKEYBYTES];
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    explicit SecretKey(const Seed& seed) { ::crypto_sign_seed_keypair(publicKey, bytes, seed.data()); }
    ~SecretKey() { ::sodium_memzero(bytes, sizeof(bytes)); }
    SecretKey(const SecretKey&) = delete;
    SecretKey& operator=(const SecretKey&) = delete;
};

std::string toHex(const unsigned char* bytes, std::size_t size) {
    std::string hex(size * 2 + 1, '\0');
    ::sodium_bin2hex(hex.data(), hex.size(), bytes, size);
    hex.pop_back();
    return hex;
}

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string readKeyFile(const std::string& path, Seed& seed) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return systemError("cannot open key file", path);
    }
    // A key file is one short line; anything much longer is not one.
    std::string text(256, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
        text.pop_back();
    }
    std::size_t length = 0;
    const char* end = nullptr;
    if (text.size() != kSeedBytes * 2 ||
        ::sodium_hex2bin(seed.data(), seed.size(), text.c_str(), text.size(), nullptr, &length, &end) != 0 ||
        length != kSeedBytes || end != text.c_str() + text.size()) {
        ::sodium_memzero(text.data(), text.size());
        return "not a key file (expected 64 hex digits): " + path;
    }
    ::sodium_memzero(text.data(), text.size());
    return {};
}

std::string createKeyFile(const std::string& path, Seed& seed) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return systemError("cannot create key file", path);
    }
    ::randombytes_buf(seed.data(), seed.size());
    std::string line = toHex(seed.data(), seed.size()) + "\n";
    const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    const std::string error = written ? std::string() : systemError("cannot write key file", path);
    ::sodium_memzero(line.data(), line.size());
    if (::close(fd) != 0 || !error.empty()) {
        const std::string reason = error.empty() ? systemError("cannot write key file", path) : error;
        ::unlink(path.c_str());
        return reason;
    }
    return {};
}

std::string writePublicKeyFile(const std::string& path, const Seed& seed, std::string& hex) {
    const SecretKey key(seed);
    hex = toHex(key.publicKey, sizeof(key.publicKey));
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << hex << '\n';
    file.close();
    if (!file) {
        return systemError("cannot write public key file", path);
    }
    return {};
}

std::string signLibrary(const Seed& seed, const std::string& libraryPath) {
    std::ifstream library(libraryPath, std::ios::binary);
    if (!library) {
        return systemError("cannot open library", libraryPath);
    }
    library.seekg(0, std::ios::end);
    const std::streamoff size = library.tellg();
    if (size < 0) {
        return "cannot read library " + libraryPath;
    }
    if (static_cast<std::uint64_t>(size) > lumo::lighting::kMaxLibraryBytes) {
        return "library too large to be loaded: " + libraryPath;
    }
    library.seekg(0, std::ios::beg);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (!library.read(reinterpret_cast<char*>(bytes.data()), size)) {
        return "cannot read library " + libraryPath;
    }

    unsigned char signature[crypto_sign_BYTES];
    {
        const SecretKey key(seed);
        ::crypto_sign_detached(signature, nullptr, bytes.data(), bytes.size(), key.bytes);
    }

    const std::string signaturePath = libraryPath + ".sig";
    std::ofstream out(signaturePath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(signature), sizeof(signature));
    out.close();
    if (!out) {
        return systemError("cannot write signature", signaturePath);
    }
    return {};
}

}  // namespace lumo::signing
