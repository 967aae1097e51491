#include "steam/integration_file.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>

#include "filesystem/operations.h"
#include "steam/steam.h"

namespace lumo::util {

namespace fs = lumo::filesystem;

namespace {

constexpr const char* kAppletFilesFolder = "Applet_Files";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool isRegularFile(const fs::path& file) {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

bool isDirectory(const fs::path& folder) {
    try {
        return fs::is_directory(folder);
    } catch (const fs::filesystem_error&) {
        return false;  // a folder that cannot be examined cannot be written into either
    }
}

// Applet_Files in the working folder, else Applet_Files beside the program, so the result does
// not depend on how the program was started. Empty when neither has the file.
fs::path integrationSource(const std::string& fileName) {
    const fs::path besideWorkingFolder = fs::path(kAppletFilesFolder) / fs::path(fileName);
    if (isRegularFile(besideWorkingFolder)) return besideWorkingFolder;

    const fs::path executable = fs::executable_path();
    if (executable.empty()) return {};
    const fs::path besideProgram =
        executable.parent_path() / fs::path(kAppletFilesFolder) / fs::path(fileName);
    if (isRegularFile(besideProgram)) return besideProgram;
    return {};
}

// Copies `source` over `target` byte for byte; a copy that fails part way is deleted again.
bool copyFile(const fs::path& source, const fs::path& target) {
    FileHandle in(fs::fopen(source, "rb"));
    if (!in) return false;
    FileHandle out(fs::fopen(target, "wb"));
    if (!out) return false;

    bool complete = true;
    char buffer[16 * 1024];
    for (;;) {
        const std::size_t read = std::fread(buffer, 1, sizeof buffer, in.get());
        if (read > 0 && std::fwrite(buffer, 1, read, out.get()) != read) {
            complete = false;
            break;
        }
        if (read < sizeof buffer) {
            complete = std::ferror(in.get()) == 0;
            break;
        }
    }
    // Buffered data reaches the disk only at the close, so its result counts too.
    if (std::fclose(out.release()) != 0) complete = false;
    if (!complete) {
        std::error_code ignored;
        fs::remove(target, ignored);
    }
    return complete;
}

}  // namespace

std::string findSteamAppFolderOrEmpty(const std::string& appId) {
    try {
        return findSteamAppFolder(appId);
    } catch (const std::exception&) {
        return {};
    }
}

bool installIntegrationFile(const fs::path& cfgFolder, const std::string& subFolder,
                            const std::string& fileName) {
    try {
        if (!isDirectory(cfgFolder)) return false;
        const fs::path folder = subFolder.empty() ? cfgFolder : cfgFolder / fs::path(subFolder);
        const fs::path target = folder / fs::path(fileName);
        if (FileHandle present{fs::fopen(target, "r")}) return true;

        // A fresh installation has no integration sub-folder; the game reads it once it exists.
        std::error_code ec;
        if (!subFolder.empty()) fs::create_directory(folder, ec);

        const fs::path source = integrationSource(fileName);
        return !source.empty() && copyFile(source, target);
    } catch (const std::exception&) {
        return false;  // a name the path rules refuse: nothing can be installed
    }
}

}  // namespace lumo::util
