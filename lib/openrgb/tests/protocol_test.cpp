#include "openrgb/protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "openrgb_server.h"

namespace {

using namespace lumo::openrgb;
using lumo::test::asSeenAt;

Controller sampleKeyboard() { return lumo::test::defaultDevices()[0]; }
Controller sampleMouse() { return lumo::test::defaultDevices()[1]; }

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

// "0e000000 0200" -> those bytes; spaces only separate.
Bytes hex(std::string_view digits) {
    Bytes bytes;
    std::string pair;
    for (const char digit : digits) {
        if (digit == ' ') continue;
        pair += digit;
        if (pair.size() == 2) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
            pair.clear();
        }
    }
    return bytes;
}

// Blobs written field by field, as the protocol describes them, independently of the encoder.
struct Blob {
    std::string bytes;
    Blob& u16(std::uint16_t value) { return put(value, 2); }
    Blob& u32(std::uint32_t value) { return put(value, 4); }
    Blob& str(std::string_view text) { return u16(static_cast<std::uint16_t>(text.size() + 1)).raw(text).raw({"\0", 1}); }
    Blob& raw(std::string_view text) {
        bytes.append(text);
        return *this;
    }
    // With data_size in front, counting itself.
    Bytes sized() const {
        Blob whole;
        whole.u32(static_cast<std::uint32_t>(bytes.size() + 4)).raw(bytes);
        return bytesOf(whole.bytes);
    }

private:
    Blob& put(std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
        return *this;
    }
};

// type, name, vendor (v >= 1), description, version, serial, location.
void head(Blob& blob, std::uint32_t version) {
    blob.u32(5).str("K");
    if (version >= 1) blob.str("V");
    blob.str("D").str("1.0").str("S").str("L");
}

// One mode "Direct" with one colour.
void modes(Blob& blob, std::uint32_t version) {
    blob.u16(1).u32(0).str("Direct").u32(7).u32(0x20).u32(1).u32(2);
    if (version >= 3) blob.u32(3).u32(4);
    blob.u32(5).u32(6).u32(8);
    if (version >= 3) blob.u32(9);
    blob.u32(10).u32(1).u16(1).u32(0x00112233);
}

// After a zone's matrix: segments (v >= 4), flags (v >= 5).
void zoneTail(Blob& blob, std::uint32_t version) {
    if (version >= 4) blob.u16(1).str("Seg").u32(1).u32(0).u32(2);
    if (version >= 5) blob.u32(0x4);
}

// One linear zone of two LEDs with a map of 1 x 2.
void zones(Blob& blob, std::uint32_t version) {
    blob.u16(1).str("Z").u32(1).u32(2).u32(2).u32(2);
    blob.u16(16).u32(1).u32(2).u32(1).u32(kNoLed);
    zoneTail(blob, version);
}

// Two LEDs, their colours, and what v5 adds at the end.
void tail(Blob& blob, std::uint32_t version) {
    blob.u16(2).str("Key: A").u32(0x10).str("Key: B").u32(0x11);
    blob.u16(2).u32(0x0000FF).u32(0x00FF00);
    if (version >= 5) blob.u16(1).str("Alt").u32(0x2);
}

Blob minimalBlob(std::uint32_t version) {
    Blob blob;
    head(blob, version);
    modes(blob, version);
    zones(blob, version);
    tail(blob, version);
    return blob;
}

// What minimalBlob describes.
Controller minimalController(std::uint32_t version) {
    Controller controller;
    controller.type = 5;
    controller.name = "K";
    controller.vendor = "V";
    controller.description = "D";
    controller.version = "1.0";
    controller.serial = "S";
    controller.location = "L";
    Mode direct;
    direct.name = "Direct";
    direct.value = 7;
    direct.flags = 0x20;
    direct.speedMin = 1;
    direct.speedMax = 2;
    direct.brightnessMin = 3;
    direct.brightnessMax = 4;
    direct.colorsMin = 5;
    direct.colorsMax = 6;
    direct.speed = 8;
    direct.brightness = 9;
    direct.direction = 10;
    direct.colorMode = 1;
    direct.colors = {0x00112233};
    controller.modes = {direct};
    Zone zone;
    zone.name = "Z";
    zone.type = 1;
    zone.ledsMin = zone.ledsMax = zone.ledsCount = 2;
    zone.matrixHeight = 1;
    zone.matrixWidth = 2;
    zone.matrix = {1, kNoLed};
    zone.segments = {Segment{"Seg", 1, 0, 2}};
    zone.flags = 0x4;
    controller.zones = {zone};
    controller.leds = {Led{"Key: A", 0x10}, Led{"Key: B", 0x11}};
    controller.colors = {0x0000FF, 0x00FF00};
    controller.alternateNames = {"Alt"};
    controller.flags = 0x2;
    return asSeenAt(controller, version);
}

TEST(OpenRgbController, HandWrittenBlobsParseAndEncodeBackAtEveryVersion) {
    for (std::uint32_t version = 0; version <= kProtocolVersion; ++version) {
        SCOPED_TRACE("version " + std::to_string(version));
        const Bytes blob = minimalBlob(version).sized();
        const std::optional<Controller> parsed = parseController(blob, version);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, minimalController(version));
        EXPECT_EQ(bytesOf(encodeController(minimalController(version), version)), blob);
    }
}

TEST(OpenRgbController, RealDevicesRoundTripAtEveryVersionAndOnlyAtTheirOwn) {
    const struct {
        const char* name;
        Controller device;
    } devices[] = {{"keyboard", sampleKeyboard()}, {"mouse", sampleMouse()}};
    for (const auto& [name, device] : devices) {
        for (std::uint32_t version = 0; version <= kProtocolVersion; ++version) {
            SCOPED_TRACE(std::string(name) + " at version " + std::to_string(version));
            const std::string blob = encodeController(device, version);
            const Bytes bytes = bytesOf(blob);
            ASSERT_GE(bytes.size(), 4u);
            EXPECT_EQ(decodeU32(std::span(bytes).first(4)), bytes.size());  // data_size

            const std::optional<Controller> parsed = parseController(bytes, version);
            ASSERT_TRUE(parsed);
            EXPECT_EQ(*parsed, asSeenAt(device, version));
            EXPECT_EQ(encodeController(*parsed, version), blob);

            // Version 2 changed nothing in the blob; every other pair of layouts differs.
            for (std::uint32_t other = 0; other <= kProtocolVersion; ++other) {
                const bool sameLayout = other == version || (std::min(other, version) == 1 && std::max(other, version) == 2);
                if (!sameLayout) {
                    EXPECT_FALSE(parseController(bytes, other)) << "parsed at version " << other;
                }
            }
        }
    }
}

TEST(OpenRgbController, EveryTruncationOrExtensionOfARealBlobIsRefused) {
    const struct {
        const char* name;
        Controller device;
        std::uint32_t version;
    } blobs[] = {{"keyboard", sampleKeyboard(), 0}, {"keyboard", sampleKeyboard(), 3},
                 {"keyboard", sampleKeyboard(), 5}, {"mouse", sampleMouse(), 4}, {"mouse", sampleMouse(), 5}};
    for (const auto& [name, device, version] : blobs) {
        SCOPED_TRACE(std::string(name) + " at version " + std::to_string(version));
        const Bytes whole = bytesOf(encodeController(device, version));
        for (std::size_t length = 0; length < whole.size(); ++length) {
            Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            ASSERT_FALSE(parseController(cut, version)) << "cut at " << length;
            // With data_size telling the truth, the parser itself must find the end too early.
            if (length >= 4) {
                for (int i = 0; i < 4; ++i) cut[i] = static_cast<std::uint8_t>(length >> (8 * i));
                ASSERT_FALSE(parseController(cut, version)) << "cut at " << length << ", size patched";
            }
        }
        Bytes longer = whole;
        longer.push_back(0);
        EXPECT_FALSE(parseController(longer, version));
        longer[0] = static_cast<std::uint8_t>(longer[0] + 1);  // still little: at most a few kilobytes
        EXPECT_FALSE(parseController(longer, version)) << "a byte left over";
    }
}

TEST(OpenRgbController, HostileBlobs) {
    using Write = std::function<void(Blob&, std::uint32_t)>;
    // The parts after the head, with one of them replaced.
    const auto blob = [](std::uint32_t version, const Write& replaceHead, const Write& replaceModes,
                         const Write& replaceZones, const Write& replaceTail) {
        Blob written;
        (replaceHead ? replaceHead : Write(head))(written, version);
        (replaceModes ? replaceModes : Write(modes))(written, version);
        (replaceZones ? replaceZones : Write(zones))(written, version);
        (replaceTail ? replaceTail : Write(tail))(written, version);
        return written.sized();
    };
    const auto withHead = [&](std::uint32_t version, const Write& write) { return blob(version, write, {}, {}, {}); };
    const auto withModes = [&](std::uint32_t version, const Write& write) { return blob(version, {}, write, {}, {}); };
    const auto withZones = [&](std::uint32_t version, const Write& write) { return blob(version, {}, {}, write, {}); };
    const auto withTail = [&](std::uint32_t version, const Write& write) { return blob(version, {}, {}, {}, write); };
    // A zone of two LEDs whose map is written by `matrix`.
    const auto matrixZone = [](std::function<void(Blob&)> matrix) {
        return [matrix](Blob& b, std::uint32_t version) {
            b.u16(1).str("Z").u32(1).u32(2).u32(2).u32(2);
            matrix(b);
            zoneTail(b, version);
        };
    };
    const auto sizedAs = [](Bytes bytes, std::uint32_t dataSize) {
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(dataSize >> (8 * i));
        return bytes;
    };

    const struct {
        const char* name;
        std::uint32_t version;
        Bytes payload;
        bool parses;
    } cases[] = {
        {"the minimal blob at version 0", 0, minimalBlob(0).sized(), true},
        {"the minimal blob at version 5", 5, minimalBlob(5).sized(), true},
        {"a name with a NUL inside is kept whole", 0,
         withHead(0, [](Blob& b, std::uint32_t) { b.u32(5).u16(4).raw({"A\0B\0", 4}).str("D").str("1").str("S").str("L"); }),
         true},
        {"an empty payload", 0, {}, false},
        {"a payload shorter than data_size", 0, {3, 0, 0}, false},
        {"data_size 0", 0, sizedAs(minimalBlob(0).sized(), 0), false},
        {"data_size one short", 0, sizedAs(minimalBlob(0).sized(), static_cast<std::uint32_t>(minimalBlob(0).sized().size() - 1)), false},
        {"data_size 4 GiB", 0, sizedAs(minimalBlob(0).sized(), 0xFFFFFFFF), false},
        {"a version above ours", 6, minimalBlob(5).sized(), false},
        {"a name without its NUL", 0,
         withHead(0, [](Blob& b, std::uint32_t) { b.u32(5).u16(2).raw("KD").str("D").str("1").str("S").str("L"); }), false},
        {"a name of length 0", 0,
         withHead(0, [](Blob& b, std::uint32_t) { b.u32(5).u16(0).str("D").str("1").str("S").str("L"); }), false},
        {"a name longer than the payload", 0,
         withHead(0, [](Blob& b, std::uint32_t) { b.u32(5).u16(0xFFFF).str("D").str("1").str("S").str("L"); }), false},
        {"65535 modes in a small payload", 0,
         withModes(0, [](Blob& b, std::uint32_t v) {
             Blob one;
             modes(one, v);
             b.u16(0xFFFF).raw(std::string_view(one.bytes).substr(2));
         }),
         false},
        {"a mode with more colours than bytes", 3,
         withModes(3, [](Blob& b, std::uint32_t) {
             b.u16(1).u32(0).str("Direct").u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
             b.u32(0).u32(0).u16(0xFFFF).u32(1);
         }),
         false},
        {"65535 zones", 0, withZones(0, [](Blob& b, std::uint32_t) { b.u16(0xFFFF); }), false},
        {"a map of no cells parses", 0,
         withZones(0, matrixZone([](Blob& b) { b.u16(8).u32(0).u32(3); })), true},
        {"matrix_len 4 short of its cells", 0,
         withZones(0, matrixZone([](Blob& b) { b.u16(12).u32(1).u32(2).u32(1).u32(0); })), false},
        {"matrix_len 4 beyond its cells", 0,
         withZones(0, matrixZone([](Blob& b) { b.u16(20).u32(1).u32(2).u32(1).u32(0).u32(0); })), false},
        {"matrix_len too short for the dimensions", 0,
         withZones(0, matrixZone([](Blob& b) { b.u16(4).u32(1); })), false},
        {"matrix_len not 8 plus whole cells", 0,
         withZones(0, matrixZone([](Blob& b) { b.u16(14).u32(1).u32(1).u32(0).u16(0); })), false},
        {"dimensions whose product wraps to 0 in 32 bits", 0,
         withZones(0, matrixZone([](Blob& b) { b.u16(8).u32(0x10000).u32(0x10000); })), false},
        {"dimensions whose product wraps to 2 in 32 bits", 0,
         withZones(0, matrixZone([](Blob& b) { b.u16(16).u32(0x80000001).u32(2).u32(0).u32(1); })), false},
        {"a map longer than the payload", 0,
         withZones(0, matrixZone([](Blob& b) { b.u16(0xFFF8).u32(0x1FFE).u32(2); })), false},
        {"65535 segments", 4,
         withZones(4, matrixZone([](Blob& b) { b.u16(0).u16(0xFFFF).str("Seg").u32(0).u32(0).u32(2).u32(0); })),
         false},
        {"65535 LEDs", 0, withTail(0, [](Blob& b, std::uint32_t) { b.u16(0xFFFF).str("Key: A").u32(0).u16(0); }), false},
        {"65535 colours", 0,
         withTail(0, [](Blob& b, std::uint32_t) { b.u16(1).str("Key: A").u32(0).u16(0xFFFF).u32(0); }), false},
        {"65535 alternate names", 5,
         withTail(5, [](Blob& b, std::uint32_t) { b.u16(0).u16(0).u16(0xFFFF).str("Alt").u32(0); }), false},
        {"no flags at the end at version 5", 5,
         withTail(5, [](Blob& b, std::uint32_t) { b.u16(0).u16(0).u16(0); }), false},
    };
    for (const auto& [name, version, payload, parses] : cases) {
        SCOPED_TRACE(name);
        const std::optional<Controller> parsed = parseController(payload, version);
        EXPECT_EQ(parsed.has_value(), parses);
        if (parsed) {
            EXPECT_EQ(parseController(bytesOf(encodeController(*parsed, version)), version), parsed);
        }
    }
    const std::optional<Controller> inner = parseController(cases[2].payload, 0);
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->name, std::string("A\0B", 3));
}

TEST(OpenRgbPackets, HeadersAndPayloadsByteForByte) {
    Mode mode;
    mode.name = "Direct";
    mode.value = 0x0b;
    mode.flags = kModeFlagPerLedColor;
    mode.speedMin = 1;
    mode.speedMax = 2;
    mode.brightnessMin = 3;
    mode.brightnessMax = 4;
    mode.colorsMin = 5;
    mode.colorsMax = 6;
    mode.speed = 7;
    mode.brightness = 8;
    mode.direction = 9;
    mode.colorMode = kColorModePerLed;
    mode.colors = {makeColor(1, 2, 3)};
    const std::vector<Color> two = {makeColor(1, 2, 3), makeColor(255, 0, 0)};
    const std::vector<Color> blue = {makeColor(0, 0, 255)};

    const struct {
        const char* name;
        std::string encoded;
        const char* expected;
    } cases[] = {
        {"a packet", encodePacket(3, kUpdateLeds, "ab"), "4f524742 03000000 1a040000 02000000 6162"},
        {"an empty packet", encodePacket(0, kRequestControllerCount), "4f524742 00000000 00000000 00000000"},
        {"a version", encodeU32(kProtocolVersion), "05000000"},
        {"a client name", encodeClientName("lumo"), "6c756d6f 00"},
        {"all LEDs", encodeUpdateLeds(two), "0e000000 0200 01020300 ff000000"},
        {"no LEDs", encodeUpdateLeds({}), "06000000 0000"},
        {"a zone's LEDs", encodeUpdateZoneLeds(1, blue), "0e000000 01000000 0100 0000ff00"},
        {"one LED", encodeUpdateSingleLed(7, makeColor(0x10, 0x20, 0x30)), "07000000 10203000"},
        {"a mode at version 3", encodeUpdateMode(2, mode, 3),
         "47000000 02000000 0700 44697265637400 0b000000 20000000 01000000 02000000 03000000 04000000"
         " 05000000 06000000 07000000 08000000 09000000 01000000 0100 01020300"},
        {"a mode at version 2", encodeUpdateMode(2, mode, 2),
         "3b000000 02000000 0700 44697265637400 0b000000 20000000 01000000 02000000"
         " 05000000 06000000 07000000 09000000 01000000 0100 01020300"},
    };
    for (const auto& [name, encoded, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(bytesOf(encoded), hex(expected));
    }

    // The server's reading of the same payloads.
    const auto leds = parseUpdateLeds(hex(cases[4].expected));
    ASSERT_TRUE(leds);
    EXPECT_EQ(leds->colors, two);
    EXPECT_FALSE(leds->zone);
    const auto zoneLeds = parseUpdateZoneLeds(hex(cases[6].expected));
    ASSERT_TRUE(zoneLeds);
    EXPECT_EQ(zoneLeds->zone, 1u);
    EXPECT_EQ(zoneLeds->colors, blue);
    const auto single = parseUpdateSingleLed(hex(cases[7].expected));
    ASSERT_TRUE(single);
    EXPECT_EQ(single->led, 7);
    EXPECT_EQ(single->color, makeColor(0x10, 0x20, 0x30));
    Controller withMode;
    withMode.modes = {mode};
    for (std::uint32_t version = 0; version <= kProtocolVersion; ++version) {
        SCOPED_TRACE("mode at version " + std::to_string(version));
        const auto update = parseUpdateMode(bytesOf(encodeUpdateMode(2, mode, version)), version);
        ASSERT_TRUE(update);
        EXPECT_EQ(update->modeIndex, 2);
        EXPECT_EQ(update->mode, asSeenAt(withMode, version).modes[0]);
    }
}

TEST(OpenRgbPackets, HeadersAreCheckedBeforeAnythingIsRead) {
    const struct {
        const char* name;
        Bytes bytes;
        std::optional<Header> expected;
    } cases[] = {
        {"a reply header", hex("4f524742 02000000 01000000 10000000"), Header{2, 1, 16}},
        {"followed by its payload", hex("4f524742 00000000 28000000 04000000 03000000"), Header{0, 40, 4}},
        {"the largest payload", hex("4f524742 00000000 01000000 00004000"), Header{0, 1, kMaxPayloadSize}},
        {"one byte more", hex("4f524742 00000000 01000000 01004000"), std::nullopt},
        {"3 GB", hex("4f524742 00000000 01000000 005ed0b2"), std::nullopt},
        {"15 bytes", hex("4f524742 00000000 01000000 000000"), std::nullopt},
        {"another magic", hex("4f524758 00000000 01000000 00000000"), std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const auto& [name, bytes, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decodeHeader(bytes), expected);
    }
}

TEST(OpenRgbPackets, StrictServersRefuseCommandsWhoseSizesDisagree) {
    const struct {
        const char* name;
        std::function<bool(const Bytes&)> parses;
        const char* payload;
        bool valid;
    } cases[] = {
        {"UPDATELEDS", [](const Bytes& p) { return parseUpdateLeds(p).has_value(); }, "0a000000 0100 01020300", true},
        {"UPDATELEDS data_size one more", [](const Bytes& p) { return parseUpdateLeds(p).has_value(); }, "0b000000 0100 01020300", false},
        {"UPDATELEDS a colour too many", [](const Bytes& p) { return parseUpdateLeds(p).has_value(); }, "0e000000 0100 01020300 01020300", false},
        {"UPDATELEDS a colour short", [](const Bytes& p) { return parseUpdateLeds(p).has_value(); }, "0a000000 0200 01020300", false},
        {"UPDATELEDS no count", [](const Bytes& p) { return parseUpdateLeds(p).has_value(); }, "04000000", false},
        {"UPDATELEDS 3 bytes", [](const Bytes& p) { return parseUpdateLeds(p).has_value(); }, "030000", false},
        {"UPDATEZONELEDS", [](const Bytes& p) { return parseUpdateZoneLeds(p).has_value(); }, "0e000000 02000000 0100 01020300", true},
        {"UPDATEZONELEDS data_size 4 GiB", [](const Bytes& p) { return parseUpdateZoneLeds(p).has_value(); }, "ffffffff 02000000 0100 01020300", false},
        {"UPDATEZONELEDS 65535 colours", [](const Bytes& p) { return parseUpdateZoneLeds(p).has_value(); }, "0e000000 02000000 ffff 01020300", false},
        {"UPDATEZONELEDS no zone", [](const Bytes& p) { return parseUpdateZoneLeds(p).has_value(); }, "06000000 0000", false},
        {"UPDATESINGLELED 7 bytes", [](const Bytes& p) { return parseUpdateSingleLed(p).has_value(); }, "07000000 102030", false},
        {"UPDATESINGLELED 9 bytes", [](const Bytes& p) { return parseUpdateSingleLed(p).has_value(); }, "07000000 10203000 00", false},
        {"UPDATEMODE at the wrong version", [](const Bytes& p) { return parseUpdateMode(p, 2).has_value(); },
         "47000000 02000000 0700 44697265637400 0b000000 20000000 01000000 02000000 03000000 04000000"
         " 05000000 06000000 07000000 08000000 09000000 01000000 0100 01020300", false},
        {"UPDATEMODE with more colours than bytes", [](const Bytes& p) { return parseUpdateMode(p, 0).has_value(); },
         "3b000000 02000000 0700 44697265637400 0b000000 20000000 01000000 02000000"
         " 05000000 06000000 07000000 09000000 01000000 0200 01020300", false},
    };
    for (const auto& [name, parses, payload, valid] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(parses(hex(payload)), valid);
    }

    // A mode block cut anywhere.
    const Bytes mode = bytesOf(encodeUpdateMode(0, sampleKeyboard().modes[1], 5));
    for (std::size_t length = 0; length < mode.size(); ++length) {
        Bytes cut(mode.begin(), mode.begin() + static_cast<std::ptrdiff_t>(length));
        if (length >= 4) cut[0] = static_cast<std::uint8_t>(length);
        ASSERT_FALSE(parseUpdateMode(cut, 5)) << "cut at " << length;
    }
}

}  // namespace
