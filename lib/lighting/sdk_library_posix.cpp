// Verified loading of the SDK library for POSIX: detached Ed25519 signature, then dlopen.
#include "lighting/sdk_library.h"

#include "sdk_public_key.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace lumo::lighting {
namespace {

class ScopedFd {
public:
    explicit ScopedFd(int fd) : fd_(fd) {}
    ~ScopedFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

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

// True when `fd` holds a library signed with the maker's key in `signaturePath`.
bool hasMakerSignature(int fd, const std::string& signaturePath) {
    std::vector<unsigned char> bytes;
    unsigned char signature[crypto_sign_BYTES];
    return readLibrary(fd, bytes) && readSignature(signaturePath, signature) &&
           ::crypto_sign_verify_detached(signature, bytes.data(), bytes.size(), kSdkPublicKey) == 0;
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

    // One open file serves both the check and the load, so a file swapped in at that path
    // after the check is never the one loaded.
    ScopedFd library(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!library.valid()) {
        return nullptr;
    }
    if (!hasMakerSignature(library.get(), path + ".sig")) {
        return nullptr;
    }

    // glibc knows a loaded object by the name it was opened with before it compares device
    // and inode. The descriptor stays open for as long as the library is loaded, so no later
    // load can reuse its number and be handed this object under the same name; a second load
    // of the same file still finds it by inode and only raises its load count.
    const std::string openFile = "/proc/self/fd/" + std::to_string(library.get());
    void* handle = ::dlopen(openFile.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle != nullptr) {
        library.release();
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
