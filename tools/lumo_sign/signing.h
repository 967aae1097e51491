#pragma once

#include <array>
#include <string>

// Key files and signatures of lumo-sign. A key file holds one line: the 32-byte Ed25519
// seed as 64 hex digits. A public key file holds the 32-byte public key the same way; that
// text is what LUMO_SDK_PUBLIC_KEY takes. A signature is LIBRARY + ".sig": the 64 raw bytes
// of the detached Ed25519 signature over the library's exact bytes.
// Every operation returns the empty string on success, else what went wrong.
namespace lumo::signing {

inline constexpr std::size_t kSeedBytes = 32;
using Seed = std::array<unsigned char, kSeedBytes>;

// Reads and checks the key file at `path` into `seed`.
std::string readKeyFile(const std::string& path, Seed& seed);

// Makes a new random seed and writes it to a new key file readable by its owner only;
// fails rather than replace a file that exists.
std::string createKeyFile(const std::string& path, Seed& seed);

// Writes the public key that belongs to `seed` to `path`, replacing it; `hex` receives it.
std::string writePublicKeyFile(const std::string& path, const Seed& seed, std::string& hex);

// Signs the library at `libraryPath` and writes libraryPath + ".sig".
std::string signLibrary(const Seed& seed, const std::string& libraryPath);

}  // namespace lumo::signing
