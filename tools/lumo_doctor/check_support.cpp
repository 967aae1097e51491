#include "lumo_doctor/check_support.h"

#include "lumo_doctor/doctor_paths.h"
#include "lumo_doctor/integration_files.h"
#include "text/ascii.h"

namespace lumo::doctor {

namespace fs = std::filesystem;

Check makeCheck(std::string id, std::string_view game, Status status, std::string finding, std::string hint) {
    return {std::move(id), std::string(game), status, std::move(finding), status == Status::ok ? std::string() : std::move(hint)};
}

void add(Check& check, Status status, const std::string& finding, const std::string& hint) {
    if (status > check.status) check.status = status;
    if (!finding.empty()) check.finding += (check.finding.empty() ? "" : "; ") + finding;
    if (!hint.empty() && status != Status::ok) check.hint += (check.hint.empty() ? "" : " ") + hint;
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}

std::string processName(const Facts& facts, std::uint32_t pid) {
    for (const ProcessInfo& process : facts.processes) {
        if (process.pid == pid) return process.name;
    }
    return {};
}

const ProcessInfo* findProcess(const Facts& facts, std::span<const std::string_view> names) {
    for (const ProcessInfo& process : facts.processes) {
        for (const std::string_view name : names) {
            if (util::equalsIgnoringAsciiCase(process.name, name)) return &process;
        }
    }
    return nullptr;
}

const std::optional<status::ProgramStatus>& programStatus(const games::Game& game, const Facts& facts) {
    static const std::optional<status::ProgramStatus> none;
    const auto found = facts.statuses.find(game.program);
    return found == facts.statuses.end() ? none : found->second;
}

const ProcessInfo* runningProgram(const games::Game& game, const Facts& facts) {
    if (const auto& status = programStatus(game, facts)) {
        for (const ProcessInfo& process : facts.processes) {
            if (process.pid == status->processId && util::equalsIgnoringAsciiCase(process.name, game.program)) return &process;
        }
    }
    const std::string_view program[] = {game.program};
    return findProcess(facts, program);
}

std::optional<fs::file_time_type> writeTime(const fs::path& file) {
    std::error_code ec;
    const fs::file_time_type time = fs::last_write_time(file, ec);
    if (ec) return std::nullopt;
    return time;
}

// The file clock's epoch differs by system and std::chrono::clock_cast is not everywhere yet;
// both clocks read now give the offset.
std::chrono::system_clock::time_point systemTime(fs::file_time_type time) {
    return std::chrono::system_clock::now() +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(time - fs::file_time_type::clock::now());
}

std::optional<Uri> parseUri(const std::string& text) {
    constexpr std::string_view kScheme = "http://";
    if (!util::startsWithIgnoringAsciiCase(text, kScheme)) return std::nullopt;
    const std::string rest = text.substr(kScheme.size());
    const std::string authority = rest.substr(0, rest.find('/'));
    const std::size_t colon = authority.rfind(':');
    Uri uri;
    if (colon == std::string::npos) {
        uri.host = authority;
        uri.port = 80;
        return uri;
    }
    uri.host = authority.substr(0, colon);
    const std::string port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    uri.port = std::stoi(port);
    return uri;
}

const util::KeyValues* integrationBlock(const util::KeyValues& file) {
    for (const util::KeyValues::Entry& entry : file.entries()) {
        if (!entry.block) continue;
        const auto found = file.children().find(util::lowercaseAscii(entry.key));
        return found == file.children().end() ? nullptr : &found->second;
    }
    return nullptr;
}

std::string_view installedIntegrationFile(const games::Game& game) {
    for (const auto& [program, text] : kInstalledIntegrationFiles) {
        if (program == game.program) return text;
    }
    return {};
}

std::vector<std::string> wantedSections(const games::Game& game) {
    util::KeyValues ours;
    ours.parse(std::string(installedIntegrationFile(game)));
    std::vector<std::string> sections;
    if (const util::KeyValues* block = integrationBlock(ours)) {
        const util::KeyValues data = block->child("data");
        for (const util::KeyValues::Entry& entry : data.entries()) {
            if (!entry.block) sections.push_back(entry.key);
        }
    }
    return sections;
}

GameFolders gameFolders(const games::Game& game, const fs::path& gameFolder) {
    const auto below = [&](std::string_view relative) {
        fs::path path = gameFolder;
        for (const std::string& part : games::components(relative)) path /= filesystem::std_path_from_utf8(std::string(part));
        return path;
    };
    const games::Edition& edition =
        games::editionOf(game, [&](std::string_view marker) { return isFolder(below(marker)); });
    GameFolders folders{std::string(edition.title), below(games::readFolder(edition)), {}, below(edition.consoleLog)};
    for (const std::string_view wrong : edition.wrongFolders) folders.wrongFolders.push_back(below(wrong));
    return folders;
}

namespace {

// Our file in `folder` under a name with a hidden second extension ("….cfg.txt").
std::vector<fs::path> hiddenExtensionCopies(const games::Game& game, const fs::path& folder) {
    const std::string ours(game.integrationFile);
    std::vector<fs::path> copies;
    std::error_code ec;
    for (fs::directory_iterator entry(folder, ec), end; !ec && entry != end; entry.increment(ec)) {
        const std::string name = filesystem::utf8_text(entry->path().filename());
        if (name.size() > ours.size() && util::startsWithIgnoringAsciiCase(name, ours + ".")) copies.push_back(entry->path());
    }
    return copies;
}

}  // namespace

IntegrationFacts inspectIntegrationFile(const games::Game& game, const GameFolders& folders) {
    const fs::path name = filesystem::std_path_from_utf8(std::string(game.integrationFile));
    IntegrationFacts facts;
    const fs::path file = folders.readFolder / name;
    if (isFile(file)) {
        facts.file = file;
        facts.written = writeTime(file);
    }
    for (const fs::path& folder : folders.wrongFolders) {
        if (isFile(folder / name)) facts.misplaced.push_back(folder / name);
    }
    for (const fs::path& folder : folders.wrongFolders) {
        for (fs::path& copy : hiddenExtensionCopies(game, folder)) facts.misplaced.push_back(std::move(copy));
    }
    for (fs::path& copy : hiddenExtensionCopies(game, folders.readFolder)) facts.misplaced.push_back(std::move(copy));
    return facts;
}

std::string ownCopy(const games::Game& game) {
    return std::string(game.program) + "'s Applet_Files/" + std::string(game.integrationFile);
}

}  // namespace lumo::doctor
