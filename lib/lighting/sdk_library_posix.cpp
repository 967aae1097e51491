// Verified loading of the SDK library for POSIX: detached Ed25519 signature, then dlopen.
#include "lighting/sdk_library.h"

#include "sdk_public_key.h"
#include "util/unique_handle.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sodium.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>
#include <vector>

namespace lumo::lighting {
namespace {

struct FdTraits {
    using Handle = int;
    static Handle invalid() { return -1; }
    static bool valid(Handle fd) { return fd >= 0; }
    static void close(Handle fd) { ::close(fd); }
};
using ScopedFd = lumo::util::UniqueHandle<FdTraits>;

// Reads exactly `size` bytes from the start of `fd`; false on a short read, which means the
// file changed under us or could not be read.
bool readExactly(int fd, unsigned char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, data + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

// The whole regular file behind `fd`, up to kMaxLibraryBytes; false for anything else.
bool readLibrary(int fd, std::vector<unsigned char>& bytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0 ||
        static_cast<std::uint64_t>(status.st_size) > kMaxLibraryBytes) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(status.st_size));
    return readExactly(fd, bytes.data(), bytes.size());
}

bool readSignature(const std::string& path, unsigned char (&signature)[crypto_sign_BYTES]) {
    const ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size != crypto_sign_BYTES) {
        return false;
    }
    return readExactly(fd.get(), signature, crypto_sign_BYTES);
}

// True when `bytes` are signed with the maker's key in `signaturePath`.
bool hasMakerSignature(const std::vector<unsigned char>& bytes, const std::string& signaturePath) {
    unsigned char signature[crypto_sign_BYTES];
    return readSignature(signaturePath, signature) &&
           ::crypto_sign_verify_detached(signature, bytes.data(), bytes.size(), kSdkPublicKey) == 0;
}

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// A sealed in-memory file holding `bytes`: what dlopen maps from it can no longer change,
// whatever happens to the file on disk after it was verified.
int sealedCopy(const std::vector<unsigned char>& bytes) {
    ScopedFd copy(::memfd_create("lumo-sdk", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!copy.valid() || !writeAll(copy.get(), bytes) ||
        ::fcntl(copy.get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0) {
        return -1;
    }
    return copy.release();
}

using Digest = std::array<unsigned char, crypto_generichash_BYTES>;

// Verified libraries already loaded, by content, with the sealed copy each was loaded from.
// The copies stay open for as long as the libraries are loaded (for ever): glibc knows a
// loaded object by the name it was opened with, so loading the same content again through
// the same /proc/self/fd name finds it and only raises its load count, and no later copy
// can reuse a number and be handed an object of other content.
struct LoadedCopy {
    Digest digest;
    int fd;
};
std::vector<LoadedCopy> loadedCopies;

void* openCopy(int fd) {
    const std::string name = "/proc/self/fd/" + std::to_string(fd);
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

bool sodiumReady() {
    static const bool ready = ::sodium_init() >= 0;
    return ready;
}

}  // namespace

void* loadVerifiedLibrary(const std::string& path) {
    // A bare name would make dlopen search the library path and load a file nobody checked;
    // an embedded NUL would make the checked and the loaded name differ.
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) {
        return nullptr;
    }
    if (!sodiumReady()) {
        return nullptr;
    }

    std::vector<unsigned char> bytes;
    {
        const ScopedFd library(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!library.valid() || !readLibrary(library.get(), bytes)) {
            return nullptr;
        }
    }
    if (!hasMakerSignature(bytes, path + ".sig")) {
        return nullptr;
    }

    // Exactly the bytes that were verified are loaded, from a sealed copy in memory.
    Digest digest{};
    ::crypto_generichash(digest.data(), digest.size(), bytes.data(), bytes.size(), nullptr, 0);
    for (const LoadedCopy& loaded : loadedCopies) {
        if (loaded.digest == digest) {
            return openCopy(loaded.fd);
        }
    }
    ScopedFd copy(sealedCopy(bytes));
    if (!copy.valid()) {
        return nullptr;
    }
    void* handle = openCopy(copy.get());
    if (handle != nullptr) {
        loadedCopies.push_back({digest, copy.release()});
    }
    return handle;
}

void* findExport(void* library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    return ::dlsym(library, name);
}

}  // namespace lumo::lighting
