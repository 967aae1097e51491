#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/socket.h"
#include "openrgb/protocol.h"

namespace lumo::test {

// Misbehaviour of the server's replies, for clients' robustness tests. Each applies to every
// controller-data reply; the count reply is spoiled too where the fault fits a bare u32
// (countBeyondPayload, hugeAnnouncedPayload, silence, badMagic) and sent intact otherwise.
enum class OpenRgbHostility {
    none,
    dataSizeMismatch,      // the blob's data_size is 4 more than the packet's size
    countBeyondPayload,    // the blob's colour count runs past its end; the count reply
                           // announces two controllers more than there are
    stringWithoutNul,      // the blob's name has its NUL replaced by '?'
    hugeAnnouncedPayload,  // a header announcing 3 GiB of payload, then nothing
    silence,               // no reply at all; the connection stays open
    badMagic,              // the reply's header starts with "XXXX" instead of "ORGB"
};

// How the server answers; may be changed while it runs (setBehaviour).
struct OpenRgbBehaviour {
    // Sent in reply to REQUEST_PROTOCOL_VERSION; controller blobs are encoded at most at
    // min(this, openrgb::kProtocolVersion).
    std::uint32_t protocolVersion = 5;
    // False: the version request gets no reply, as from a server of version 0.
    bool answerVersionRequest = true;
    OpenRgbHostility hostility = OpenRgbHostility::none;
    // Sends DEVICE_LIST_UPDATED between every count or controller-data request and its reply.
    bool deviceListUpdatedBeforeReply = false;
    // How long each count or controller-data reply is held back: a slow listing.
    std::chrono::milliseconds replyDelay{0};
};

// One packet the server received, as it came.
struct OpenRgbPacket {
    int connection = 0;  // 1 for the first connection accepted, counting across restarts
    std::uint32_t device = 0;
    std::uint32_t id = 0;
    std::string payload{};
    std::chrono::steady_clock::time_point time{};
};

// A command the strict server refused; the connection was closed after it.
struct OpenRgbViolation {
    int connection = 0;
    std::uint32_t id = 0;  // the packet's id; 0 for a header that could not be read
    std::string reason{};
};

// Everything the server has seen, and its devices' current state.
struct OpenRgbSnapshot {
    std::vector<OpenRgbPacket> packets{};
    std::vector<std::string> clientNames{};  // in the order SET_CLIENT_NAME arrived
    std::vector<openrgb::Controller> devices{};  // their colours and active modes as set
    int connectionsAccepted = 0;
    int connectionsOpen = 0;
    std::vector<OpenRgbViolation> violations{};

    // The device-wide index of the LED named `name`; nullopt for no such device or LED.
    std::optional<std::size_t> ledIndex(std::size_t device, std::string_view name) const;
    // The colour of that LED; nullopt as above.
    std::optional<openrgb::Color> ledColor(std::size_t device, std::string_view name) const;
    // How many packets with `id` arrived.
    std::size_t packetCount(std::uint32_t id) const;
};

// A full-size ANSI keyboard (104 keys named as OpenRGB names them in a 6 x 21 matrix zone,
// and a "Logo" zone of one LED; modes Direct, Static and Spectrum Cycle, the last active)
// and a mouse (one linear zone "Mouse" in two segments: "Logo" and "Scroll Wheel"; modes
// Direct and Breathing, the last active). Every colour starts black; every field of every
// protocol version is filled in, so a parse at an older version leaves some at defaults.
std::vector<openrgb::Controller> defaultDevices();
// `controller` as a parse at `version` gives it back: the fields newer versions added cleared.
openrgb::Controller asSeenAt(openrgb::Controller controller, std::uint32_t version);

// An OpenRGB SDK server on 127.0.0.1 for tests, strict as OpenRGB 1.0: a thread accepts,
// a thread per connection reads and answers, so several clients are served at once.
//
// Answers REQUEST_PROTOCOL_VERSION with the behaviour's version (the connection then speaks
// min(client's, server's)), REQUEST_CONTROLLER_COUNT with the count, REQUEST_CONTROLLER_DATA
// with the blob of that device at the version in its payload (0 when empty); a bad index
// gets no reply. UPDATELEDS, UPDATEZONELEDS, UPDATESINGLELED, SETCUSTOMMODE and UPDATEMODE
// change the device's colours and active mode and are never answered. A malformed command
// (data_size other than the packet's size, UPDATESINGLELED not 8 bytes, a colour count that
// is not the device's or the zone's LED count, an LED, zone or mode index out of range), a
// header without "ORGB" or an oversized payload closes that connection and is recorded as a
// violation. A command for a device index that does not exist is ignored (a client may race
// a device list change). Other packet ids are recorded and ignored.
//
// Every member may be called from any thread. Destruction stops the server.
class OpenRgbServer {
public:
    using Snapshot = OpenRgbSnapshot;

    // Listens on `port` (0: a free one) at once; throws std::runtime_error when it cannot.
    explicit OpenRgbServer(std::vector<openrgb::Controller> devices = defaultDevices(),
                           OpenRgbBehaviour behaviour = {}, std::uint16_t port = 0);
    ~OpenRgbServer();
    OpenRgbServer(const OpenRgbServer&) = delete;
    OpenRgbServer& operator=(const OpenRgbServer&) = delete;

    // The port listened on; it stays the same across stop() and start().
    std::uint16_t port() const { return port_; }

    // Closes the listener and every connection and waits for their threads. Devices and
    // records are kept.
    void stop();
    // Listens again on port() after stop() (a server restart); true when listening (also
    // when it never stopped), false when the port cannot be bound now.
    bool start();
    bool running() const;

    void setBehaviour(const OpenRgbBehaviour& behaviour);
    OpenRgbBehaviour behaviour() const;

    // Replaces the device list (devices added, removed or reordered) and tells every client
    // with DEVICE_LIST_UPDATED.
    void setDevices(std::vector<openrgb::Controller> devices);
    // Sends DEVICE_LIST_UPDATED to every client now.
    void sendDeviceListUpdated();

    Snapshot snapshot() const;
    // Waits until `condition` holds for the records, evaluated at once and after each change
    // (under the server's lock: it must not call the server); false when it still does not
    // hold after `timeout`.
    bool waitUntil(const std::function<bool(const Snapshot&)>& condition, std::chrono::milliseconds timeout) const;

private:
    struct Connection;

    void listen();
    void acceptLoop();
    void serve(Connection& connection);
    // Handles one received packet; false when the connection must be closed.
    bool handle(Connection& connection, const openrgb::Header& header, const std::string& payload);
    bool applyCommand(Connection& connection, const openrgb::Header& header, const std::string& payload);
    void reply(Connection& connection, std::uint32_t device, std::uint32_t id, std::string payload, bool spoilable);
    void violation(Connection& connection, std::uint32_t id, std::string reason);
    void broadcastDeviceListUpdated();
    void joinFinishedConnections();

    std::uint16_t port_ = 0;
    lumo::net::SocketHandle listener_;
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    bool running_ = false;
    OpenRgbBehaviour behaviour_;
    Snapshot state_;
    std::list<std::unique_ptr<Connection>> connections_;
};

}  // namespace lumo::test
