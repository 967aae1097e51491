#include "integration_file.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <system_error>

#include "filesystem/operations.h"
#include "filesystem/path.h"
#include "util/steam.h"

namespace fs = lumo::filesystem;

namespace {

constexpr const char* kDotaAppId = "570";
constexpr const char* kIntegrationFileName = "gamestate_integration_kelvaron.cfg";
constexpr const wchar_t* kSourceBesideWorkingFolder = L"Applet_Files//gamestate_integration_kelvaron.cfg";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The game's folder, or "" when it cannot be found. Steam files that exist but cannot be
// read count as not found: start-up must go on either way.
std::string dotaFolder() {
    try {
        return lumo::util::findSteamAppFolder(kDotaAppId);
    } catch (const std::exception&) {
        return {};
    }
}

bool isRegularFile(const fs::path& file) {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

// The file to install: Applet_Files in the working folder, else Applet_Files beside the
// program, so the result does not depend on how the program was started. Empty when neither.
fs::path integrationSource() {
    const fs::path besideWorkingFolder(kSourceBesideWorkingFolder);
    if (isRegularFile(besideWorkingFolder)) return besideWorkingFolder;

    const fs::path executable = fs::executable_path();
    if (executable.empty()) return {};
    const fs::path besideProgram =
        executable.parent_path() / fs::path("Applet_Files") / fs::path(kIntegrationFileName);
    if (isRegularFile(besideProgram)) return besideProgram;
    return {};
}

// Copies `source` over `target` byte for byte. A copy that fails part way is deleted again:
// a truncated file would count as installed at the next start.
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

bool installIntegrationFile() {
    const std::string folder = dotaFolder();
    if (folder.empty()) return false;

    const fs::path cfgFolder = fs::path(folder) / fs::path("game") / fs::path("dota") / fs::path("cfg");
    const fs::path integrationFolder = cfgFolder / fs::path("gamestate_integration");
    const fs::path target = integrationFolder / fs::path(kIntegrationFileName);

    // Whatever is installed already, even an empty file, is the user's and stays.
    if (FileHandle present{fs::fopen(target, "r")}) return true;

    // A fresh installation has no gamestate_integration folder; the game reads it once it exists.
    std::error_code ec;
    fs::create_directory(integrationFolder, ec);

    const fs::path source = integrationSource();
    return !source.empty() && copyFile(source, target);
}
