// Loopback test client over Winsock, for Windows.
#include "loopback.h"

#include "util/windows_support.h"

// After winsock2.h, which windows_support.h brings in first.
#include <iphlpapi.h>

#include <vector>

namespace lumo::test {

namespace {

SOCKET handleOf(lumo::net::NativeSocket socket) { return static_cast<SOCKET>(socket); }

}  // namespace

namespace loopback_system {

void shutdownSending(lumo::net::NativeSocket socket) { ::shutdown(handleOf(socket), SD_SEND); }

bool bindSharing(lumo::net::NativeSocket socket, std::uint16_t port) {
    const BOOL on = TRUE;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = loopbackAddress();
    return ::setsockopt(handleOf(socket), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                        sizeof on) == 0 &&
           ::bind(handleOf(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

void resetOnClose(lumo::net::NativeSocket socket) {
    const linger immediate{1, 0};
    ::setsockopt(handleOf(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&immediate),
                 sizeof immediate);
}

}  // namespace loopback_system

bool isListening(std::uint16_t port) {
    // The table's size is known only after a first call; it may grow before the next.
    std::vector<unsigned char> buffer(sizeof(MIB_TCPTABLE));
    for (int attempt = 0; attempt < 4; ++attempt) {
        ULONG size = static_cast<ULONG>(buffer.size());
        const DWORD result = ::GetTcpTable(reinterpret_cast<PMIB_TCPTABLE>(buffer.data()), &size, FALSE);
        if (result == ERROR_INSUFFICIENT_BUFFER) {
            buffer.resize(size);
            continue;
        }
        if (result != NO_ERROR) return false;
        const auto* table = reinterpret_cast<const MIB_TCPTABLE*>(buffer.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            const MIB_TCPROW& row = table->table[i];
            const bool loopbackOrAny = row.dwLocalAddr == loopbackAddress() || row.dwLocalAddr == 0;
            if (row.dwState == MIB_TCP_STATE_LISTEN && ntohs(static_cast<u_short>(row.dwLocalPort)) == port &&
                loopbackOrAny) {
                return true;
            }
        }
        return false;
    }
    return false;
}

int connectionResetCode() { return WSAECONNRESET; }
int addressInUseCode() { return WSAEADDRINUSE; }

namespace {

bool runningUnderWine() {
    // Wine's ntdll exports wine_get_version; Windows' does not.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

bool resetReachesThePeer() { return !runningUnderWine(); }

bool socketOwnersKnown() { return !runningUnderWine(); }

}  // namespace lumo::test
