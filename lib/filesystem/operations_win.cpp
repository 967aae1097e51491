// File-system queries over std::filesystem, _wfopen_s and the Win32 file API for Windows.
#include "filesystem/operations.h"

#include "util/windows_support.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "text/utf.h"

namespace lumo::filesystem {
namespace {

std::filesystem::path toStd(const path& p) { return std::filesystem::path(p.native_text()); }

filesystem_error translate(const std::filesystem::filesystem_error& e) {
    return filesystem_error(e.what(), path(e.path1().native()), path(e.path2().native()), e.code());
}

// The errno a failed CreateFileW stands for, as _wfopen_s would have set it.
int errnoOfOpenFailure(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    default:
        return EIO;
    }
}

}  // namespace

bool exists(const path& p) {
    try {
        return std::filesystem::exists(toStd(p));
    } catch (const std::filesystem::filesystem_error& e) {
        throw translate(e);
    }
}

bool is_directory(const path& p) {
    try {
        return std::filesystem::is_directory(toStd(p));
    } catch (const std::filesystem::filesystem_error& e) {
        throw translate(e);
    }
}

bool exists(const path& p, std::error_code& ec) { return std::filesystem::exists(toStd(p), ec); }

bool is_directory(const path& p, std::error_code& ec) {
    // exists() clears `ec` for a missing path, as the answer false wants.
    if (!std::filesystem::exists(toStd(p), ec)) return false;
    return std::filesystem::is_directory(toStd(p), ec);
}

bool is_regular_file(const path& p, std::error_code& ec) {
    return std::filesystem::is_regular_file(toStd(p), ec);
}

std::FILE* fopen(const path& p, const std::string& mode) {
    const std::wstring wideMode = util::fromUtf8(mode);
    if (wideMode.empty()) return nullptr;
    std::FILE* file = nullptr;
    if (_wfopen_s(&file, p.native_text().c_str(), wideMode.c_str()) != 0) return nullptr;
    return file;
}

std::vector<path> directory_entries(const path& folder, std::error_code& ec) {
    std::vector<path> entries;
    const path pattern = folder / path(L"*");
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.native_text().c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        ec = std::error_code(static_cast<int>(GetLastError()), std::system_category());
        return entries;
    }
    ec.clear();
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") entries.push_back(folder / path(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

std::FILE* open_for_shared_reading(const path& p) {
    // _wfopen_s shares read and write but not delete; CreateFileW lets the game replace the
    // file (save to a temporary name, then rename over it) while we read.
    HANDLE handle = CreateFileW(p.native_text().c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // GetLastError() must be read right away; callers look at errno, as after fopen.
        errno = errnoOfOpenFailure(GetLastError());
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    // From here the descriptor owns the handle, and the stream the descriptor.
    std::FILE* file = _fdopen(descriptor, "rb");
    if (file == nullptr) _close(descriptor);
    return file;
}

bool create_directory(const path& p, std::error_code& ec) {
    if (CreateDirectoryW(p.native_text().c_str(), nullptr)) {
        ec.clear();
        return true;
    }
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(p.native_text().c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ec.clear();
        return false;
    }
    ec = std::error_code(static_cast<int>(error), std::system_category());
    return false;
}

bool remove(const path& p, std::error_code& ec) {
    if (DeleteFileW(p.native_text().c_str())) {
        ec.clear();
        return true;
    }
    ec = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    return false;
}

path executable_path() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return path();
        // A full buffer means the name was cut off (ERROR_INSUFFICIENT_BUFFER).
        if (length < buffer.size()) return path(std::wstring(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace lumo::filesystem
