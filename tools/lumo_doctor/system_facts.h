#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the operating system tells about processes, listening ports and the console. Each
// function reports only what this user may see and never throws.

namespace lumo::doctor {

struct ProcessInfo {
    std::uint32_t pid = 0;
    std::string name;  // the program's file name, without ".exe"
    std::optional<std::chrono::system_clock::time_point> started;
};

// Every process this user can see.
std::vector<ProcessInfo> listProcesses();

// Who listens on TCP `port` (IPv4 or IPv6, any local address): nullopt when nobody does;
// a process id of 0 when somebody does but the system does not say who.
std::optional<std::uint32_t> portListener(std::uint16_t port);

// True when the system may not let this program bind `port`, though nobody listens there,
// judged from a bind error code (Windows' reserved port ranges answer "access denied").
bool isRefusedBindCode(int error);
// The code such a refusal gives on this system.
int refusedBindCode();

// True where the doctor runs on Linux, whose Dota 2 has a known posting problem.
bool runningOnLinux();

// Standard output is a terminal (then colours may be used); prepares it for UTF-8 marks and
// colour sequences where that takes a step (Windows' console).
bool standardOutputIsTerminal();
void prepareConsole();

// Before any library is loaded (the SDK check loads the maker's): on Windows, libraries named
// without a path come from System32 only, as in the programs.
void restrictLibrarySearch();

}  // namespace lumo::doctor
