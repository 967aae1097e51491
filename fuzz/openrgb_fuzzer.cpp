// OpenRGB's SDK protocol: a header decodes exactly when it is well formed; a controller blob
// that parses at some version encodes back, at that version, to no more bytes than it had and
// to a blob that parses to the same controller; the command payloads a server reads encode
// back to the very bytes read.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "openrgb/protocol.h"

using namespace lumo::openrgb;

namespace {

using Bytes = std::span<const std::uint8_t>;

bool sameBytes(const std::string& encoded, Bytes input) {
    return encoded.size() == input.size() && std::memcmp(encoded.data(), input.data(), input.size()) == 0;
}

std::uint32_t u32At(Bytes bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{bytes[offset + i]} << (8 * i);
    return value;
}

void checkHeader(Bytes input) {
    const auto header = decodeHeader(input);
    const bool wellFormed = input.size() >= kHeaderSize && std::memcmp(input.data(), "ORGB", 4) == 0 &&
                            u32At(input, 12) <= kMaxPayloadSize;
    FUZZ_CHECK(header.has_value() == wellFormed);
    if (!header) return;
    FUZZ_CHECK(header->size == u32At(input, 12));
    const std::string encoded = encodePacket(header->device, header->id);
    FUZZ_CHECK(std::memcmp(encoded.data(), input.data(), 12) == 0);
}

void checkController(Bytes input) {
    for (std::uint32_t version = 0; version <= kProtocolVersion; ++version) {
        const auto controller = parseController(input, version);
        if (!controller) continue;
        // A map sent with no dimensions is the only thing that encodes shorter.
        const std::string encoded = encodeController(*controller, version);
        FUZZ_CHECK(encoded.size() <= input.size());
        const auto again = parseController(std::span(reinterpret_cast<const std::uint8_t*>(encoded.data()), encoded.size()), version);
        FUZZ_CHECK(again == controller);
    }
    FUZZ_CHECK(!parseController(input, kProtocolVersion + 1));
}

void checkCommands(Bytes input) {
    if (const auto leds = parseUpdateLeds(input)) {
        FUZZ_CHECK(!leds->zone);
        FUZZ_CHECK(sameBytes(encodeUpdateLeds(leds->colors), input));
    }
    if (const auto zoneLeds = parseUpdateZoneLeds(input)) {
        FUZZ_CHECK(zoneLeds->zone.has_value());
        FUZZ_CHECK(sameBytes(encodeUpdateZoneLeds(*zoneLeds->zone, zoneLeds->colors), input));
    }
    if (const auto single = parseUpdateSingleLed(input)) {
        FUZZ_CHECK(sameBytes(encodeUpdateSingleLed(single->led, single->color), input));
    }
    for (std::uint32_t version = 0; version <= kProtocolVersion; ++version) {
        if (const auto mode = parseUpdateMode(input, version))
            FUZZ_CHECK(sameBytes(encodeUpdateMode(mode->modeIndex, mode->mode, version), input));
    }
    if (const auto value = decodeU32(input)) FUZZ_CHECK(sameBytes(encodeU32(*value), input));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input(data, size);
    checkHeader(input);
    checkController(input);
    checkCommands(input);

    // The same bytes with a data_size that tells the truth, so mutations reach past it.
    if (size >= 4) {
        std::vector<std::uint8_t> sized(data, data + size);
        for (std::size_t i = 0; i < 4; ++i) sized[i] = static_cast<std::uint8_t>(size >> (8 * i));
        checkController(sized);
        checkCommands(sized);
    }
    return 0;
}
