// Processes (Toolhelp32, GetProcessTimes), port owners (the TCP tables) and the console on Windows.
#include "lumo_doctor/system_facts.h"

#include "text/utf.h"
#include "util/windows_support.h"

// After winsock2.h, which windows_support.h brings in first.
#include <iphlpapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <io.h>
#include <vector>

namespace lumo::doctor {

namespace {

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

std::optional<std::chrono::system_clock::time_point> startTime(DWORD pid) {
    const HandleCloser process{OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)};
    if (process.handle == nullptr) return std::nullopt;
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process.handle, &created, &exited, &kernel, &user)) return std::nullopt;
    // FILETIME counts 100 ns steps since 1601; 11644473600 s lie between 1601 and 1970.
    const unsigned long long steps = (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    const long long unix100ns = static_cast<long long>(steps) - 116444736000000000LL;
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(unix100ns * 100)));
}

// A table of GetExtendedTcpTable's listeners of `family`; empty on failure.
std::vector<unsigned char> listenerTable(ULONG family) {
    std::vector<unsigned char> buffer(16 * 1024);
    // The table may grow between the call that tells its size and the next.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD result = GetExtendedTcpTable(buffer.data(), &size, FALSE, family, TCP_TABLE_OWNER_PID_LISTENER, 0);
        if (result == NO_ERROR) return buffer;
        if (result != ERROR_INSUFFICIENT_BUFFER) return {};
        buffer.resize(size);
    }
    return {};
}

}  // namespace

std::vector<ProcessInfo> listProcesses() {
    std::vector<ProcessInfo> processes;
    const HandleCloser snapshot{CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)};
    if (snapshot.handle == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.handle, &entry); more; more = Process32NextW(snapshot.handle, &entry)) {
        std::string name = util::toUtf8(std::wstring(entry.szExeFile));
        if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".exe") == 0) name.resize(name.size() - 4);
        processes.push_back({entry.th32ProcessID, name, startTime(entry.th32ProcessID)});
    }
    return processes;
}

std::optional<std::uint32_t> portListener(std::uint16_t port) {
    const std::vector<unsigned char> v4 = listenerTable(AF_INET);
    if (!v4.empty()) {
        const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(v4.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            if (ntohs(static_cast<u_short>(table->table[i].dwLocalPort)) == port) return table->table[i].dwOwningPid;
        }
    }
    const std::vector<unsigned char> v6 = listenerTable(AF_INET6);
    if (!v6.empty()) {
        const auto* table = reinterpret_cast<const MIB_TCP6TABLE_OWNER_PID*>(v6.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            if (ntohs(static_cast<u_short>(table->table[i].dwLocalPort)) == port) return table->table[i].dwOwningPid;
        }
    }
    return std::nullopt;
}

bool isRefusedBindCode(int error) { return error == WSAEACCES; }

int refusedBindCode() { return WSAEACCES; }

bool runningOnLinux() { return false; }

bool standardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

void restrictLibrarySearch() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

}  // namespace lumo::doctor
