#include "lumo_doctor/facts.h"

#include <sstream>

#include "filesystem/user_files.h"
#include "lumo_doctor/doctor_paths.h"
#include "net/socket.h"

namespace lumo::doctor {

PortFacts probePort(std::uint16_t port) {
    PortFacts facts;
    facts.listener = portListener(port);
    if (facts.listener) return facts;
    if (net::startSocketLibrary() != 0) return facts;
    int error = 0;
    {
        const net::SocketHandle socket = net::openTcpSocket(error);
        if (socket) error = net::bindSocket(socket, net::ipv4Address(127, 0, 0, 1), port);
    }
    net::stopSocketLibrary();
    facts.bindError = error;
    return facts;
}

void readSteamAndStatusFiles(Facts& facts) {
    for (const games::Game& game : games::all()) {
        facts.games[game.key] = util::reportGame(facts.steam, std::string(game.appId));
        std::optional<status::ProgramStatus> status;
        if (!facts.stateFolder.empty()) {
            const std::filesystem::path file = status::statusFileIn(facts.stateFolder, std::string(game.program));
            status = status::parseStatus(readText(file).value_or(std::string()));
        }
        facts.statuses[game.program] = status;
    }
}

Facts gatherFacts() {
    Facts facts;
    facts.steam = util::reportSteam();
    facts.processes = listProcesses();
    facts.stateFolder = filesystem::state_folder();
    std::ostringstream problems;
    facts.lighting = lighting::readLightingSettings(problems);
    std::istringstream lines(problems.str());
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) facts.lightingProblems.push_back(line);
    }
    facts.now = std::chrono::system_clock::now();
    facts.onLinux = runningOnLinux();
    readSteamAndStatusFiles(facts);
    return facts;
}

}  // namespace lumo::doctor
