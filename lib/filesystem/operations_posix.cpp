// File-system queries over stat(), fopen() and mkdir() for POSIX systems.
#include "filesystem/operations.h"
#include "filesystem/native_path_posix.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <vector>

namespace lumo::filesystem {

// The text the kernel sees: UTF-8 with '\' turned into '/', so paths joined under Windows
// rules ("/home/ann/.steam/steam\steamapps") name the intended file. Empty when the wide
// text cannot be encoded.
bool detail::toNative(const path& p, std::string& native) {
    try {
        native = p.string();
    } catch (const std::range_error&) {
        return false;
    }
    std::replace(native.begin(), native.end(), '\\', '/');
    return true;
}

namespace {

// 0 on success, else the errno of the failing step (EINVAL for text that cannot be encoded).
int statPath(const path& p, struct stat& info) {
    std::string native;
    if (!detail::toNative(p, native)) return EINVAL;
    if (::stat(native.c_str(), &info) == 0) return 0;
    return errno;
}

bool isNotFound(int error) { return error == ENOENT || error == ENOTDIR; }

std::error_code errorCode(int error) { return {error, std::generic_category()}; }

[[noreturn]] void throwQueryError(const char* operation, const path& p, int error) {
    const std::error_code code = errorCode(error);
    std::string shown;
    try {
        shown = p.string();
    } catch (const std::range_error&) {
        // The message still names the operation and the reason.
    }
    throw filesystem_error(std::string(operation) + ": " + code.message() + ": \"" + shown + "\"", p, path(),
                           code);
}

}  // namespace

bool exists(const path& p) {
    struct stat info;
    const int error = statPath(p, info);
    if (error == 0) return true;
    if (isNotFound(error)) return false;
    throwQueryError("exists", p, error);
}

bool is_directory(const path& p) {
    struct stat info;
    const int error = statPath(p, info);
    if (error == 0) return S_ISDIR(info.st_mode);
    if (isNotFound(error)) return false;
    throwQueryError("status", p, error);
}

bool exists(const path& p, std::error_code& ec) {
    struct stat info;
    const int error = statPath(p, info);
    if (error == 0 || isNotFound(error)) {
        ec.clear();
        return error == 0;
    }
    ec = errorCode(error);
    return false;
}

bool is_directory(const path& p, std::error_code& ec) {
    struct stat info;
    const int error = statPath(p, info);
    if (error == 0 || isNotFound(error)) {
        ec.clear();
        return error == 0 && S_ISDIR(info.st_mode);
    }
    ec = errorCode(error);
    return false;
}

bool is_regular_file(const path& p, std::error_code& ec) {
    struct stat info;
    const int error = statPath(p, info);
    if (error != 0) {
        ec = errorCode(error);
        return false;
    }
    ec.clear();
    return S_ISREG(info.st_mode);
}

std::FILE* fopen(const path& p, const std::string& mode) {
    std::string native;
    if (!detail::toNative(p, native)) {
        errno = EINVAL;
        return nullptr;
    }
    std::FILE* file = std::fopen(native.c_str(), mode.c_str());
    if (file == nullptr) return nullptr;
    // Windows refuses to open a folder as a file; here fopen succeeds and every read then
    // fails, so refuse it the same way, leaving errno to say why.
    struct stat info;
    const bool known = ::fstat(::fileno(file), &info) == 0;
    if (!known || S_ISDIR(info.st_mode)) {
        const int cause = known ? EISDIR : errno;
        std::fclose(file);
        errno = cause;
        return nullptr;
    }
    return file;
}

bool create_directory(const path& p, std::error_code& ec) {
    std::string native;
    if (!detail::toNative(p, native)) {
        ec = errorCode(EINVAL);
        return false;
    }
    if (::mkdir(native.c_str(), 0777) == 0) {
        ec.clear();
        return true;
    }
    const int error = errno;
    struct stat info;
    if (error == EEXIST && ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        ec.clear();
        return false;
    }
    ec = errorCode(error);
    return false;
}

bool remove(const path& p, std::error_code& ec) {
    std::string native;
    if (!detail::toNative(p, native)) {
        ec = errorCode(EINVAL);
        return false;
    }
    if (::unlink(native.c_str()) == 0) {
        ec.clear();
        return true;
    }
    ec = errorCode(errno);
    return false;
}

std::vector<path> directory_entries(const path& folder, std::error_code& ec) {
    std::vector<path> entries;
    std::string native;
    if (!detail::toNative(folder, native)) {
        ec = errorCode(EINVAL);
        return entries;
    }
    DIR* listing = ::opendir(native.c_str());
    if (listing == nullptr) {
        ec = errorCode(errno);
        return entries;
    }
    ec.clear();
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        try {
            entries.push_back(folder / path(name));
        } catch (const std::system_error&) {
            // Not UTF-8: no path of ours can name it.
        }
    }
    ::closedir(listing);
    return entries;
}

std::FILE* open_for_shared_reading(const path& p) {
    // POSIX has no share modes: every open leaves the file to others.
    return fopen(p, "rb");
}

path executable_path() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return path();
        // readlink truncates silently; a full buffer may be a cut-off name.
        if (static_cast<std::size_t>(length) < buffer.size()) {
            try {
                return path(std::string(buffer.data(), static_cast<std::size_t>(length)));
            } catch (const std::system_error&) {
                return path();  // a name that is not UTF-8 cannot be represented
            }
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace lumo::filesystem
