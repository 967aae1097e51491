#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// OpenRGB's SDK protocol as pure functions: packet headers, the controller blob and the
// payloads of the commands a client sends. Nothing here touches a socket, so every function
// can be fed hostile bytes. Integers are little-endian; strings carry a u16 length that counts
// their NUL; a colour is u32 0x00BBGGRR.

namespace lumo::openrgb {

// The highest protocol version spoken here; a connection uses min(ours, the server's).
inline constexpr std::uint32_t kProtocolVersion = 5;
inline constexpr std::uint16_t kDefaultPort = 6742;

inline constexpr std::size_t kHeaderSize = 16;
// Larger payloads are refused before anything is allocated for them: a real controller blob
// is a few kilobytes.
inline constexpr std::uint32_t kMaxPayloadSize = 4u << 20;

enum PacketId : std::uint32_t {
    kRequestControllerCount = 0,
    kRequestControllerData = 1,
    kRequestProtocolVersion = 40,
    kSetClientName = 50,
    kDeviceListUpdated = 100,
    kUpdateLeds = 1050,
    kUpdateZoneLeds = 1051,
    kUpdateSingleLed = 1052,
    kSetCustomMode = 1100,
    kUpdateMode = 1101,
};

enum class DeviceType : std::int32_t { keyboard = 5 };

inline constexpr std::uint32_t kModeFlagPerLedColor = 1u << 5;
inline constexpr std::uint32_t kColorModePerLed = 1;
inline constexpr std::uint32_t kNoLed = 0xFFFFFFFFu;

using Color = std::uint32_t;  // 0x00BBGGRR
constexpr Color makeColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Color>(red) | static_cast<Color>(green) << 8 | static_cast<Color>(blue) << 16;
}
constexpr std::uint8_t redOf(Color color) { return color & 0xFF; }
constexpr std::uint8_t greenOf(Color color) { return (color >> 8) & 0xFF; }
constexpr std::uint8_t blueOf(Color color) { return (color >> 16) & 0xFF; }

struct Header {
    std::uint32_t device = 0;
    std::uint32_t id = 0;
    std::uint32_t size = 0;  // payload bytes after the header
    bool operator==(const Header&) const = default;
};

// The 16 header bytes followed by `payload`.
std::string encodePacket(std::uint32_t device, std::uint32_t id, std::string_view payload = {});
// The header in the first kHeaderSize bytes; nullopt when fewer bytes are given, the magic is
// not "ORGB", or the size exceeds kMaxPayloadSize.
std::optional<Header> decodeHeader(std::span<const std::uint8_t> bytes);

// Fields present only from some version on are read and written only at those versions;
// elsewhere they keep their defaults.
struct Mode {
    std::string name;
    std::int32_t value = 0;
    std::uint32_t flags = 0;
    std::uint32_t speedMin = 0, speedMax = 0;
    std::uint32_t brightnessMin = 0, brightnessMax = 0;  // v >= 3
    std::uint32_t colorsMin = 0, colorsMax = 0;
    std::uint32_t speed = 0;
    std::uint32_t brightness = 0;  // v >= 3
    std::uint32_t direction = 0;
    std::uint32_t colorMode = 0;
    std::vector<Color> colors;
    bool operator==(const Mode&) const = default;
};

struct Segment {
    std::string name;
    std::int32_t type = 0;
    std::uint32_t start = 0, count = 0;
    bool operator==(const Segment&) const = default;
};

struct Zone {
    std::string name;
    std::int32_t type = 0;  // 0 single, 1 linear, 2 matrix
    std::uint32_t ledsMin = 0, ledsMax = 0, ledsCount = 0;
    // A map is present when both are non-zero: zone-local LED index per cell, row-major,
    // kNoLed for a cell without one; `matrix` holds height * width cells.
    std::uint32_t matrixHeight = 0, matrixWidth = 0;
    std::vector<std::uint32_t> matrix;
    std::vector<Segment> segments;  // v >= 4
    std::uint32_t flags = 0;        // v >= 5
    bool operator==(const Zone&) const = default;
};

struct Led {
    std::string name;
    std::uint32_t value = 0;
    bool operator==(const Led&) const = default;
};

struct Controller {
    std::int32_t type = 0;
    std::string name;
    std::string vendor;  // v >= 1
    std::string description;
    std::string version;
    std::string serial;
    std::string location;
    std::int32_t activeMode = 0;
    std::vector<Mode> modes;
    std::vector<Zone> zones;
    std::vector<Led> leds;
    std::vector<Color> colors;
    std::vector<std::string> alternateNames;  // v >= 5
    std::uint32_t flags = 0;                  // v >= 5
    bool operator==(const Controller&) const = default;
};

// The reply to REQUEST_CONTROLLER_DATA at `version`. nullopt for anything not exactly one
// well-formed blob: data_size other than the payload's size, a count or string running past
// the end, a string of length 0 or without its NUL, a matrix whose size disagrees with its
// dimensions, bytes left over, a version above kProtocolVersion. Never allocates more than
// the payload could hold.
std::optional<Controller> parseController(std::span<const std::uint8_t> payload, std::uint32_t version);
// The blob a server sends for `controller` at `version` (its inverse; versions above
// kProtocolVersion are written as kProtocolVersion). What the format cannot carry is cut to
// fit: strings to 65534 bytes, lists to 65535 entries; a zone's map is left out when `matrix`
// does not hold height * width cells or matrix_len cannot count them.
std::string encodeController(const Controller& controller, std::uint32_t version);

// Payloads of the client's requests and commands (the header is encodePacket's); colour
// lists are cut to 65535 entries, the Mode block is encodeController's.
std::string encodeU32(std::uint32_t value);  // version requests and replies, counts
std::optional<std::uint32_t> decodeU32(std::span<const std::uint8_t> payload);  // exactly 4 bytes
std::string encodeClientName(std::string_view name);  // the name and its NUL
std::string encodeUpdateLeds(std::span<const Color> colors);
std::string encodeUpdateZoneLeds(std::uint32_t zone, std::span<const Color> colors);
std::string encodeUpdateSingleLed(std::int32_t led, Color color);
std::string encodeUpdateMode(std::int32_t modeIndex, const Mode& mode, std::uint32_t version);

// The same payloads read back, as a server reads them; nullopt for a payload that a strict
// server (1.0) refuses: data_size other than the payload's size, a wrong count, bytes left
// (parseUpdateMode also for a version above kProtocolVersion).
struct LedsUpdate {
    std::optional<std::uint32_t> zone;  // UPDATEZONELEDS only
    std::vector<Color> colors;
};
std::optional<LedsUpdate> parseUpdateLeds(std::span<const std::uint8_t> payload);
std::optional<LedsUpdate> parseUpdateZoneLeds(std::span<const std::uint8_t> payload);
struct SingleLedUpdate {
    std::int32_t led = 0;
    Color color = 0;
};
std::optional<SingleLedUpdate> parseUpdateSingleLed(std::span<const std::uint8_t> payload);  // exactly 8 bytes
struct ModeUpdate {
    std::int32_t modeIndex = 0;
    Mode mode;
};
std::optional<ModeUpdate> parseUpdateMode(std::span<const std::uint8_t> payload, std::uint32_t version);

}  // namespace lumo::openrgb
