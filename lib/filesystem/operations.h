#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>
#include <system_error>

#include "filesystem/path.h"

namespace lumo::filesystem {

// A failed file-system query. Message form: operation, ": ", system text, ": \"path1\"".
class filesystem_error : public std::runtime_error {
public:
    filesystem_error(const std::string& message, const path& path1, const path& path2, std::error_code code);

    const std::error_code& code() const noexcept { return code_; }
    const path& path1() const noexcept { return path1_; }
    const path& path2() const noexcept { return path2_; }

private:
    std::error_code code_;
    path path1_;
    path path2_;
};

// All queries follow symbolic links. A path that does not exist is the answer false, never
// an error. On POSIX the text meets the system in native form (backslashes become slashes).

// Throws filesystem_error ("exists: ...") on any other failure.
bool exists(const path& p);
// Throws filesystem_error ("status: ...") on any other failure.
bool is_directory(const path& p);
// False with `ec` set when the query fails for a reason other than not-found; else clears `ec`.
bool exists(const path& p, std::error_code& ec);
// False with `ec` set when the query fails for a reason other than not-found; else clears `ec`.
bool is_directory(const path& p, std::error_code& ec);
// `ec` receives the query's error unchanged, not-found included; zero on success.
bool is_regular_file(const path& p, std::error_code& ec);
// Opens with the wide-character open on Windows; null on any failure, with errno saying why
// (a folder is refused: EISDIR on POSIX systems, EACCES on Windows).
std::FILE* fopen(const path& p, const std::string& mode);

// Opens an existing file for reading only (binary), sharing read, write and delete with other
// programs, so a game saving the file meanwhile is never blocked by us. Null on any failure,
// with errno saying why.
std::FILE* open_for_shared_reading(const path& p);

// The entries of `folder` (files and folders, without "." and ".."), each as `folder` joined
// with the entry's name, in no particular order. Empty with `ec` set when the folder cannot be
// listed; an entry whose name has no UTF-8 form is left out.
std::vector<path> directory_entries(const path& folder, std::error_code& ec);

// Creates one folder (its parent must exist). True when it was created; false with `ec`
// set on failure, false with `ec` clear when the folder already existed.
bool create_directory(const path& p, std::error_code& ec);

// Deletes one file. True when it was deleted; false with `ec` set otherwise (missing included).
bool remove(const path& p, std::error_code& ec);

// The running program's executable file; empty when it cannot be found.
path executable_path();

}  // namespace lumo::filesystem
