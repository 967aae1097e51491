// Processes, port owners and the terminal on Linux (through /proc) and other POSIX systems.
#include "lumo_doctor/system_facts.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace lumo::doctor {

namespace fs = std::filesystem;

namespace {

// Seconds since 1970 at which the system started (the "btime" line of /proc/stat).
std::optional<long long> bootTime() {
    std::ifstream stat("/proc/stat");
    std::string word;
    while (stat >> word) {
        if (word == "btime") {
            long long seconds = 0;
            if (stat >> seconds) return seconds;
        }
    }
    return std::nullopt;
}

std::optional<std::chrono::system_clock::time_point> startTime(const fs::path& folder, std::optional<long long> boot) {
    if (!boot) return std::nullopt;
    std::ifstream in(folder / "stat");
    std::string line;
    if (!std::getline(in, line)) return std::nullopt;
    // The name in parentheses may hold blanks and parentheses; the fields follow the last one.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    // After the name: state is field 3, starttime field 22 (clock ticks after boot).
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22) {
            const long ticks = sysconf(_SC_CLK_TCK);
            if (ticks <= 0) return std::nullopt;
            const double seconds = static_cast<double>(*boot) + std::stod(field) / static_cast<double>(ticks);
            return std::chrono::system_clock::time_point(
                std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::duration<double>(seconds)));
        }
    }
    return std::nullopt;
}

std::string processName(const fs::path& folder) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink(folder / "exe", ec);
    if (!ec && !exe.empty()) {
        std::string name = exe.filename().string();
        // A program replaced while running shows as "name (deleted)".
        if (const std::size_t mark = name.find(" (deleted)"); mark != std::string::npos) name.resize(mark);
        return name;
    }
    std::ifstream comm(folder / "comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

bool isDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// The inodes of the sockets listening on `port`, from /proc/net/tcp and tcp6.
std::set<std::string> listeningInodes(std::uint16_t port) {
    std::set<std::string> inodes;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line);  // the heading
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
            if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode)) continue;
            const std::size_t colon = local.rfind(':');
            if (state != "0A" || colon == std::string::npos) continue;  // 0A: listening
            if (std::stoul(local.substr(colon + 1), nullptr, 16) == port) inodes.insert(inode);
        }
    }
    return inodes;
}

}  // namespace

std::vector<ProcessInfo> listProcesses() {
    std::vector<ProcessInfo> processes;
    const std::optional<long long> boot = bootTime();
    std::error_code ec;
    for (fs::directory_iterator entry("/proc", ec), end; !ec && entry != end; entry.increment(ec)) {
        const std::string id = entry->path().filename().string();
        if (!isDigits(id)) continue;
        try {
            processes.push_back({static_cast<std::uint32_t>(std::stoul(id)), processName(entry->path()),
                                 startTime(entry->path(), boot)});
        } catch (const std::exception&) {
            // The process ended while being read.
        }
    }
    return processes;
}

std::optional<std::uint32_t> portListener(std::uint16_t port) {
    std::set<std::string> inodes;
    try {
        inodes = listeningInodes(port);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (inodes.empty()) return std::nullopt;
    std::error_code ec;
    for (fs::directory_iterator process("/proc", ec), end; !ec && process != end; process.increment(ec)) {
        const std::string id = process->path().filename().string();
        if (!isDigits(id)) continue;
        std::error_code fdError;
        // Other users' descriptors cannot be read: their sockets stay without an owner.
        for (fs::directory_iterator fd(process->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
             fd.increment(fdError)) {
            std::error_code linkError;
            const std::string target = fs::read_symlink(fd->path(), linkError).string();
            if (linkError || target.rfind("socket:[", 0) != 0) continue;
            if (inodes.count(target.substr(8, target.size() - 9)) != 0) return static_cast<std::uint32_t>(std::stoul(id));
        }
    }
    return 0u;
}

bool isRefusedBindCode(int error) { return error == EACCES || error == EPERM; }

int refusedBindCode() { return EACCES; }

bool runningOnLinux() {
#ifdef __linux__
    return true;
#else
    return false;
#endif
}

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void prepareConsole() {}

void restrictLibrarySearch() {}

}  // namespace lumo::doctor
