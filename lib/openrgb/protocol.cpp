#include "openrgb/protocol.h"

#include <algorithm>

#include "openrgb/byte_io.h"

namespace lumo::openrgb {

using detail::ByteReader;
using detail::ByteWriter;
using detail::kMaxCount;

namespace {

constexpr char kMagic[4] = {'O', 'R', 'G', 'B'};

// The smallest encodings, which bound how many items a payload can hold.
constexpr std::size_t kMinString = 3;  // length, one NUL
constexpr std::size_t kMinColor = 4;
constexpr std::size_t kMinLed = kMinString + 4;
constexpr std::size_t kMinSegment = kMinString + 12;

std::size_t minModeSize(std::uint32_t version) { return kMinString + 9 * 4 + 2 + (version >= 3 ? 12 : 0); }

std::size_t minZoneSize(std::uint32_t version) {
    return kMinString + 4 + 12 + 2 + (version >= 4 ? 2 : 0) + (version >= 5 ? 4 : 0);
}

std::uint16_t countOf(std::size_t size) { return static_cast<std::uint16_t>(std::min(size, kMaxCount)); }

std::vector<Color> readColors(ByteReader& in) {
    const std::uint16_t count = in.u16();
    std::vector<Color> colors;
    if (!in.holds(count, kMinColor)) return colors;
    colors.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) colors.push_back(in.u32());
    return colors;
}

void writeColors(ByteWriter& out, std::span<const Color> colors) {
    const std::uint16_t count = countOf(colors.size());
    out.u16(count);
    for (std::uint16_t i = 0; i < count; ++i) out.u32(colors[i]);
}

Mode readMode(ByteReader& in, std::uint32_t version) {
    Mode mode;
    mode.name = in.string();
    mode.value = in.i32();
    mode.flags = in.u32();
    mode.speedMin = in.u32();
    mode.speedMax = in.u32();
    if (version >= 3) {
        mode.brightnessMin = in.u32();
        mode.brightnessMax = in.u32();
    }
    mode.colorsMin = in.u32();
    mode.colorsMax = in.u32();
    mode.speed = in.u32();
    if (version >= 3) mode.brightness = in.u32();
    mode.direction = in.u32();
    mode.colorMode = in.u32();
    mode.colors = readColors(in);
    return mode;
}

void writeMode(ByteWriter& out, const Mode& mode, std::uint32_t version) {
    out.string(mode.name);
    out.i32(mode.value);
    out.u32(mode.flags);
    out.u32(mode.speedMin);
    out.u32(mode.speedMax);
    if (version >= 3) {
        out.u32(mode.brightnessMin);
        out.u32(mode.brightnessMax);
    }
    out.u32(mode.colorsMin);
    out.u32(mode.colorsMax);
    out.u32(mode.speed);
    if (version >= 3) out.u32(mode.brightness);
    out.u32(mode.direction);
    out.u32(mode.colorMode);
    writeColors(out, mode.colors);
}

// matrix_len is 0 (no map) or 8 + 4 * height * width. The cell count comes from the length,
// which a u16 bounds, and the dimensions must multiply to it: a product computed from the
// dimensions could wrap.
void readMatrix(ByteReader& in, Zone& zone) {
    const std::uint16_t length = in.u16();
    if (length == 0) return;
    const std::uint32_t height = in.u32();
    const std::uint32_t width = in.u32();
    const bool framed = length >= 8 && (length - 8) % 4 == 0;
    const std::uint32_t cells = framed ? (length - 8) / 4u : 0;
    const bool consistent = height == 0 || width == 0 ? cells == 0 : cells % height == 0 && cells / height == width;
    if (!framed || !consistent || !in.holds(cells, 4)) {
        in.fail();
        return;
    }
    zone.matrixHeight = height;
    zone.matrixWidth = width;
    zone.matrix.reserve(cells);
    for (std::uint32_t i = 0; i < cells; ++i) zone.matrix.push_back(in.u32());
}

// A map is written when it has dimensions, holds their product of cells and fits matrix_len.
void writeMatrix(ByteWriter& out, const Zone& zone) {
    const std::uint64_t cells = std::uint64_t{zone.matrixHeight} * zone.matrixWidth;
    const bool sendable = (zone.matrixHeight != 0 || zone.matrixWidth != 0) && zone.matrix.size() == cells &&
                          8 + 4 * cells <= 0xFFFF;
    if (!sendable) {
        out.u16(0);
        return;
    }
    out.u16(static_cast<std::uint16_t>(8 + 4 * cells));
    out.u32(zone.matrixHeight);
    out.u32(zone.matrixWidth);
    for (const std::uint32_t cell : zone.matrix) out.u32(cell);
}

Zone readZone(ByteReader& in, std::uint32_t version) {
    Zone zone;
    zone.name = in.string();
    zone.type = in.i32();
    zone.ledsMin = in.u32();
    zone.ledsMax = in.u32();
    zone.ledsCount = in.u32();
    readMatrix(in, zone);
    if (version >= 4) {
        const std::uint16_t count = in.u16();
        if (in.holds(count, kMinSegment)) {
            zone.segments.reserve(count);
            for (std::uint16_t i = 0; i < count && !in.failed(); ++i) {
                Segment segment;
                segment.name = in.string();
                segment.type = in.i32();
                segment.start = in.u32();
                segment.count = in.u32();
                zone.segments.push_back(std::move(segment));
            }
        }
    }
    if (version >= 5) zone.flags = in.u32();
    return zone;
}

void writeZone(ByteWriter& out, const Zone& zone, std::uint32_t version) {
    out.string(zone.name);
    out.i32(zone.type);
    out.u32(zone.ledsMin);
    out.u32(zone.ledsMax);
    out.u32(zone.ledsCount);
    writeMatrix(out, zone);
    if (version >= 4) {
        const std::uint16_t count = countOf(zone.segments.size());
        out.u16(count);
        for (std::uint16_t i = 0; i < count; ++i) {
            const Segment& segment = zone.segments[i];
            out.string(segment.name);
            out.i32(segment.type);
            out.u32(segment.start);
            out.u32(segment.count);
        }
    }
    if (version >= 5) out.u32(zone.flags);
}

// Reads `count` items with `readOne` while the reader is sound; the count was checked
// against the remaining bytes before.
template <typename Item, typename ReadOne>
void readItems(ByteReader& in, std::size_t count, std::size_t minimumSize, std::vector<Item>& items,
               ReadOne readOne) {
    if (!in.holds(count, minimumSize)) return;
    items.reserve(count);
    for (std::size_t i = 0; i < count && !in.failed(); ++i) items.push_back(readOne());
}

// The u32 data_size that opens a payload and counts itself: it must be the payload's size.
bool readDataSize(ByteReader& in, std::size_t payloadSize) {
    const std::uint32_t dataSize = in.u32();
    return !in.failed() && dataSize == payloadSize;
}

// A writer whose first four bytes will hold data_size (finishSized fills them in).
ByteWriter sizedWriter() {
    ByteWriter out;
    out.u32(0);
    return out;
}

std::string finishSized(ByteWriter& out) {
    out.patchU32(0, static_cast<std::uint32_t>(out.size()));
    return out.take();
}

std::uint32_t layoutVersion(std::uint32_t version) { return std::min(version, kProtocolVersion); }

}  // namespace

std::string encodePacket(std::uint32_t device, std::uint32_t id, std::string_view payload) {
    ByteWriter out;
    out.u32(0);  // the magic's place
    out.u32(device);
    out.u32(id);
    out.u32(static_cast<std::uint32_t>(payload.size()));
    std::string packet = out.take();
    std::copy(std::begin(kMagic), std::end(kMagic), packet.begin());
    packet.append(payload);
    return packet;
}

std::optional<Header> decodeHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize || !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin()))
        return std::nullopt;
    ByteReader in(bytes.subspan(4, kHeaderSize - 4));
    Header header;
    header.device = in.u32();
    header.id = in.u32();
    header.size = in.u32();
    if (header.size > kMaxPayloadSize) return std::nullopt;
    return header;
}

std::optional<Controller> parseController(std::span<const std::uint8_t> payload, std::uint32_t version) {
    if (version > kProtocolVersion) return std::nullopt;
    ByteReader in(payload);
    if (!readDataSize(in, payload.size())) return std::nullopt;
    Controller controller;
    controller.type = in.i32();
    controller.name = in.string();
    if (version >= 1) controller.vendor = in.string();
    controller.description = in.string();
    controller.version = in.string();
    controller.serial = in.string();
    controller.location = in.string();

    const std::uint16_t modeCount = in.u16();
    controller.activeMode = in.i32();
    readItems(in, modeCount, minModeSize(version), controller.modes, [&] { return readMode(in, version); });
    readItems(in, in.u16(), minZoneSize(version), controller.zones, [&] { return readZone(in, version); });
    readItems(in, in.u16(), kMinLed, controller.leds, [&] {
        Led led;
        led.name = in.string();
        led.value = in.u32();
        return led;
    });
    controller.colors = readColors(in);
    if (version >= 5) {
        readItems(in, in.u16(), kMinString, controller.alternateNames, [&] { return in.string(); });
        controller.flags = in.u32();
    }
    if (!in.atEnd()) return std::nullopt;
    return controller;
}

std::string encodeController(const Controller& controller, std::uint32_t version) {
    version = layoutVersion(version);
    ByteWriter out = sizedWriter();
    out.i32(controller.type);
    out.string(controller.name);
    if (version >= 1) out.string(controller.vendor);
    out.string(controller.description);
    out.string(controller.version);
    out.string(controller.serial);
    out.string(controller.location);

    const std::uint16_t modeCount = countOf(controller.modes.size());
    out.u16(modeCount);
    out.i32(controller.activeMode);
    for (std::uint16_t i = 0; i < modeCount; ++i) writeMode(out, controller.modes[i], version);

    const std::uint16_t zoneCount = countOf(controller.zones.size());
    out.u16(zoneCount);
    for (std::uint16_t i = 0; i < zoneCount; ++i) writeZone(out, controller.zones[i], version);

    const std::uint16_t ledCount = countOf(controller.leds.size());
    out.u16(ledCount);
    for (std::uint16_t i = 0; i < ledCount; ++i) {
        out.string(controller.leds[i].name);
        out.u32(controller.leds[i].value);
    }
    writeColors(out, controller.colors);
    if (version >= 5) {
        const std::uint16_t nameCount = countOf(controller.alternateNames.size());
        out.u16(nameCount);
        for (std::uint16_t i = 0; i < nameCount; ++i) out.string(controller.alternateNames[i]);
        out.u32(controller.flags);
    }
    return finishSized(out);
}

std::string encodeU32(std::uint32_t value) {
    ByteWriter out;
    out.u32(value);
    return out.take();
}

std::optional<std::uint32_t> decodeU32(std::span<const std::uint8_t> payload) {
    ByteReader in(payload);
    const std::uint32_t value = in.u32();
    if (!in.atEnd()) return std::nullopt;
    return value;
}

std::string encodeClientName(std::string_view name) {
    std::string payload(name);
    payload.push_back('\0');
    return payload;
}

std::string encodeUpdateLeds(std::span<const Color> colors) {
    ByteWriter out = sizedWriter();
    writeColors(out, colors);
    return finishSized(out);
}

std::string encodeUpdateZoneLeds(std::uint32_t zone, std::span<const Color> colors) {
    ByteWriter out = sizedWriter();
    out.u32(zone);
    writeColors(out, colors);
    return finishSized(out);
}

std::string encodeUpdateSingleLed(std::int32_t led, Color color) {
    ByteWriter out;
    out.i32(led);
    out.u32(color);
    return out.take();
}

std::string encodeUpdateMode(std::int32_t modeIndex, const Mode& mode, std::uint32_t version) {
    ByteWriter out = sizedWriter();
    out.i32(modeIndex);
    writeMode(out, mode, layoutVersion(version));
    return finishSized(out);
}

std::optional<LedsUpdate> parseUpdateLeds(std::span<const std::uint8_t> payload) {
    ByteReader in(payload);
    if (!readDataSize(in, payload.size())) return std::nullopt;
    LedsUpdate update;
    update.colors = readColors(in);
    if (!in.atEnd()) return std::nullopt;
    return update;
}

std::optional<LedsUpdate> parseUpdateZoneLeds(std::span<const std::uint8_t> payload) {
    ByteReader in(payload);
    if (!readDataSize(in, payload.size())) return std::nullopt;
    LedsUpdate update;
    update.zone = in.u32();
    update.colors = readColors(in);
    if (!in.atEnd()) return std::nullopt;
    return update;
}

std::optional<SingleLedUpdate> parseUpdateSingleLed(std::span<const std::uint8_t> payload) {
    ByteReader in(payload);
    SingleLedUpdate update;
    update.led = in.i32();
    update.color = in.u32();
    if (!in.atEnd()) return std::nullopt;
    return update;
}

std::optional<ModeUpdate> parseUpdateMode(std::span<const std::uint8_t> payload, std::uint32_t version) {
    if (version > kProtocolVersion) return std::nullopt;
    ByteReader in(payload);
    if (!readDataSize(in, payload.size())) return std::nullopt;
    ModeUpdate update;
    update.modeIndex = in.i32();
    update.mode = readMode(in, version);
    if (!in.atEnd()) return std::nullopt;
    return update;
}

}  // namespace lumo::openrgb
