#pragma once

// The Steam locator's tests: Steam's files as players' machines have them, and a fixture that
// lays them out in a temporary folder and registers Steam where the locator looks.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "environment.h"
#include "files.h"
#include "registry_writer.h"
#include "text.h"

namespace lumo::util {

namespace stdfs = std::filesystem;

// Steam's files as they look in the wild.
inline std::string appManifest(const std::string& appId, const std::string& name,
                               const std::optional<std::string>& installDir) {
    std::string text = "\"AppState\"\n{\n";
    text += "\t\"appid\"\t\t\"" + appId + "\"\n";
    text += "\t\"Universe\"\t\t\"1\"\n";
    text += "\t\"name\"\t\t\"" + name + "\"\n";
    text += "\t\"StateFlags\"\t\t\"4\"\n";
    if (installDir) text += "\t\"installdir\"\t\t\"" + *installDir + "\"\n";
    text +=
        "\t\"LastUpdated\"\t\t\"1698873221\"\n"
        "\t\"SizeOnDisk\"\t\t\"37018362531\"\n"
        "\t\"StagingSize\"\t\t\"0\"\n"
        "\t\"buildid\"\t\t\"12735442\"\n"
        "\t\"LastOwner\"\t\t\"76561198012345678\"\n"
        "\t\"UpdateResult\"\t\t\"0\"\n"
        "\t\"BytesToDownload\"\t\t\"0\"\n"
        "\t\"BytesDownloaded\"\t\t\"0\"\n"
        "\t\"AutoUpdateBehavior\"\t\t\"0\"\n"
        "\t\"AllowOtherDownloadsWhileRunning\"\t\t\"0\"\n"
        "\t\"ScheduledAutoUpdate\"\t\t\"0\"\n"
        "\t\"InstalledDepots\"\n\t{\n"
        "\t\t\"373301\"\n\t\t{"
        "\n\t\t\t\"manifest\"\t\t\"2957389207315404925\"\n\t\t\t\"size\"\t\t\"32064\"\n\t\t}\n"
        "\t\t\"381451\"\n\t\t{"
        "\n\t\t\t\"manifest\"\t\t\"6148212785134960116\"\n\t\t\t\"size\"\t\t\"1480549830\"\n\t\t}\n"
        "\t}\n"
        "\t\"SharedDepots\"\n\t{\n\t\t\"228988\"\t\t\"228980\"\n\t}\n"
        "\t\"UserConfig\"\n\t{\n\t\t\"language\"\t\t\"english\"\n\t}\n"
        "\t\"MountedConfig\"\n\t{\n\t\t\"language\"\t\t\"english\"\n\t}\n"
        "}\n";
    return text;
}

inline std::string dotaManifest(const std::optional<std::string>& installDir = "dota 2 beta") {
    return appManifest("570", "Dota 2", installDir);
}

// `text` in double quotes, as older installers stored paths. Appended piecewise: GCC 12 warns
// wrongly (-Wrestrict) about "\"" + text + "\"".
inline std::string inQuotes(const std::string& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

// Paths in Steam's files are written with doubled backslashes.
inline std::string vdfPath(const std::string& path) {
    std::string out;
    for (char c : path) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

// The current layout: numbered blocks with "path", "label", "contentid", "totalsize", "apps".
inline std::string libraryFolders(const std::vector<std::pair<std::string, std::string>>& numberedPaths) {
    std::string text = "\"libraryfolders\"\n{\n";
    for (const auto& [number, path] : numberedPaths) {
        text += "\t\"" + number + "\"\n\t{\n";
        text += "\t\t\"path\"\t\t\"" + vdfPath(path) + "\"\n";
        text +=
            "\t\t\"label\"\t\t\"\"\n"
            "\t\t\"contentid\"\t\t\"6127128931824123475\"\n"
            "\t\t\"totalsize\"\t\t\"0\"\n"
            "\t\t\"update_clean_bytes_tally\"\t\t\"44738926\"\n"
            "\t\t\"time_last_update_corruption\"\t\t\"0\"\n"
            "\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"185391541\"\n\t\t\t\"570\"\t\t\"37018362531\"\n\t\t}"
            "\n";
        text += "\t}\n";
    }
    return text + "}\n";
}

class SteamLocator : public ::testing::Test {
public:
    void SetUp() override { stdfs::create_directories(root_.path() / "home"); }

    std::string at(const std::string& relative) const { return root_.text(relative); }

    void writeFile(const std::string& relative, const std::string& content) const {
        lumo::test::writeFile(root_.path() / relative, content);
    }

    void makeFolder(const std::string& relative) const { stdfs::create_directories(root_.path() / relative); }

    // A Steam library under `relative` that holds Dota 2 with its game folder.
    void makeDotaLibrary(const std::string& relative) const {
        writeFile(relative + "/steamapps/appmanifest_570.acf", dotaManifest());
        makeFolder(relative + "/steamapps/common/dota 2 beta");
    }

    static std::string dotaFolderIn(const std::string& library) {
        return library + "\\steamapps\\common\\dota 2 beta";
    }

    // Registers Steam under the 64-bit view and, when given, the 32-bit view, in place of what
    // was registered before.
    void registerSteam(const std::optional<std::string>& installPath,
                       const std::optional<std::string>& installPath32 = std::nullopt) {
        unregisterSteam();
        if (installPath) registry_.setString(lumo::test::kSteamRegistryKey, "InstallPath", *installPath);
        if (installPath32)
            registry_.setString(lumo::test::kSteamRegistryKey, "InstallPath", *installPath32, true);
    }
    void unregisterSteam() { registry_.removeKey(lumo::test::kSteamRegistryKey); }

    // Lowercase only: an executable path found through the registry comes back lowercased.
    lumo::test::TempFolder root_{"lumo-steam"};

private:
    lumo::test::ScopedEnvironment home_{"HOME", root_.text("home")};
    lumo::test::RegistryWriter registry_{{lumo::test::kSteamRegistryKey}};
};

}  // namespace lumo::util
