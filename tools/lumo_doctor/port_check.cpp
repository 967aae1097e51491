// Who holds the game's port.
#include "lumo_doctor/check_support.h"
#include "text/ascii.h"

namespace lumo::doctor {

Check checkPort(const games::Game& game, const Facts& facts, const PortFacts& port) {
    const std::string program(game.program);
    const std::string number = "port " + std::to_string(game.port);
    if (port.listener) {
        const std::uint32_t pid = *port.listener;
        const std::string name = pid == 0 ? std::string() : processName(facts, pid);
        if (util::equalsIgnoringAsciiCase(name, program)) {
            return makeCheck("port", game.key, Status::ok, number + " held by " + program + " (pid " + std::to_string(pid) + ")");
        }
        const ProcessInfo* running = runningProgram(game, facts);
        if (pid == 0 && running != nullptr) {
            // Wine, and Windows without the rights to ask, keep the owner to themselves.
            return makeCheck("port", game.key, Status::ok,
                             number + " held; the system does not say by whom, and " + program + " (pid " +
                                 std::to_string(running->pid) + ") runs");
        }
        const std::string who = pid == 0     ? std::string("a process the system does not name (another user's?)")
                                : name.empty() ? "process " + std::to_string(pid)
                                               : name + " (pid " + std::to_string(pid) + ")";
        return makeCheck("port", game.key, Status::failure, number + " held by " + who,
                         "End that program (another lighting tool?) before starting " + program +
                             ": the game can post to only one of them.");
    }
    if (port.bindError == 0) return makeCheck("port", game.key, Status::ok, number + " free");
    if (isRefusedBindCode(port.bindError)) {
        return makeCheck("port", game.key, Status::failure,
                         "the system refuses to bind " + number + " although no process owns it (error " +
                             std::to_string(port.bindError) + ")",
                         "Windows reserves port ranges for Hyper-V, WSL and Docker: see `netsh interface ipv4 show "
                         "excludedportrange protocol=tcp`, and free the range or restart after turning those off.");
    }
    return makeCheck("port", game.key, Status::failure,
                     number + " cannot be bound (error " + std::to_string(port.bindError) + ") though no listener shows",
                     "Another user's program may hold it: look for other copies of " + program + ".");
}

}  // namespace lumo::doctor
