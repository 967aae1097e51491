#include "steam/integration_file.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <system_error>

#include "filesystem/operations.h"
#include "steam/steam.h"
#include "util/stdio_file.h"

namespace lumo::util {

namespace fs = lumo::filesystem;

namespace {

constexpr const char* kAppletFilesFolder = "Applet_Files";

using FileHandle = lumo::util::StdioFile;

bool isRegularFile(const fs::path& file) {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

// The path as the messages show it; text that has no UTF-8 form is shown by its place.
std::string shown(const fs::path& p) {
    try {
        // Appended rather than "\"" + p.string(): GCC 12 warns falsely of overlap on the latter.
        std::string text = "\"";
        text += p.string();
        text += '"';
        return text;
    } catch (const std::exception&) {
        return "(a path without a UTF-8 form)";
    }
}

// The system's text for errno, read right after the failing call.
std::string errnoText(int error) { return std::generic_category().message(error); }

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
// "" on success, else why it failed.
std::string copyFile(const fs::path& source, const fs::path& target) {
    FileHandle in(fs::fopen(source, "rb"));
    if (!in) return "cannot read " + shown(source) + ": " + errnoText(errno);
    FileHandle out(fs::fopen(target, "wb"));
    if (!out) return "cannot write " + shown(target) + ": " + errnoText(errno);

    std::string problem;
    char buffer[16 * 1024];
    for (;;) {
        const std::size_t read = std::fread(buffer, 1, sizeof buffer, in.get());
        if (read > 0 && std::fwrite(buffer, 1, read, out.get()) != read) {
            problem = "writing " + shown(target) + " failed: " + errnoText(errno);
            break;
        }
        if (read < sizeof buffer) {
            if (std::ferror(in.get()) != 0) problem = "reading " + shown(source) + " failed";
            break;
        }
    }
    // Buffered data reaches the disk only at the close, so its result counts too.
    if (std::fclose(out.release()) != 0 && problem.empty())
        problem = "writing " + shown(target) + " failed: " + errnoText(errno);
    if (!problem.empty()) {
        std::error_code ignored;
        fs::remove(target, ignored);
    }
    return problem;
}

}  // namespace

std::string findSteamAppFolderOrEmpty(const std::string& appId, std::string* problem) {
    if (problem != nullptr) problem->clear();
    try {
        return findSteamAppFolder(appId);
    } catch (const std::exception& error) {
        if (problem != nullptr)
            *problem = "Steam's files could not be read looking for app " + appId + ": " + error.what();
        return {};
    }
}

bool installGameIntegrationFile(const games::Game& game, const std::string& gameFolder, std::string* problem) {
    const fs::path folder(gameFolder);
    const auto below = [&](std::string_view relative) { return fs::join(folder, relative); };
    const games::Edition& edition = games::editionOf(game, [&](std::string_view marker) {
        std::error_code ec;
        return fs::exists(below(marker), ec);
    });
    return installIntegrationFile(below(edition.cfgFolder), std::string(edition.subfolder),
                                  std::string(game.integrationFile), problem);
}

bool installIntegrationFile(const fs::path& cfgFolder, const std::string& subFolder,
                            const std::string& fileName, std::string* problem) {
    std::string unused;
    std::string& why = problem != nullptr ? *problem : unused;
    why.clear();
    try {
        bool folderThere = false;
        try {
            folderThere = fs::is_directory(cfgFolder);
        } catch (const fs::filesystem_error& error) {
            // A folder that cannot be examined cannot be written into either.
            why = std::string("the game's cfg folder cannot be examined: ") + error.what();
            return false;
        }
        if (!folderThere) {
            why = "the game's cfg folder " + shown(cfgFolder) + " is missing";
            return false;
        }
        std::error_code ec;
        const fs::path subFolderName = fs::path_from_utf8(subFolder, ec);
        const fs::path fileNameAsPath = ec ? fs::path() : fs::path_from_utf8(fileName, ec);
        if (ec) {
            why = "the integration file's name is not UTF-8 text";
            return false;
        }
        const fs::path folder = subFolder.empty() ? cfgFolder : cfgFolder / subFolderName;
        const fs::path target = folder / fileNameAsPath;
        if (FileHandle present{fs::fopen(target, "r")}) return true;

        // A fresh installation has no integration sub-folder; the game reads it once it exists.
        if (!subFolder.empty()) fs::create_directory(folder, ec);

        const fs::path source = integrationSource(fileName);
        if (source.empty()) {
            why =
                fileName + " is in neither the working folder's " + kAppletFilesFolder + " nor the program's";
            return false;
        }
        why = copyFile(source, target);
        return why.empty();
    } catch (const std::exception& error) {
        why = error.what();
        return false;
    }
}

}  // namespace lumo::util
