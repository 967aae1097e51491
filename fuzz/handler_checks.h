#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "lighting/key_bitmap.h"
#include "lighting/lumo_sdk.h"

// What the game-state fuzzers share: posts cut from an input, recorded SDK calls read back,
// and the rules every key bitmap keeps.

// The posts of one input: its pieces between NUL bytes, at most 16 (so one input stays
// quick), each NUL-terminated.
inline std::vector<std::string> postsOf(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> posts;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= text.size() && posts.size() < 16;) {
        const std::size_t end = std::min(text.find('\0', start), text.size());
        posts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return posts;
}

// A recorded call such as "LumoLedSetLighting(100,9,9)": its name and integer arguments.
struct RecordedCall {
    std::string name;
    std::vector<long long> arguments;
};

inline RecordedCall readCall(const std::string& text) {
    RecordedCall call;
    const std::size_t open = text.find('(');
    FUZZ_CHECK(open != std::string::npos && text.back() == ')');
    call.name = text.substr(0, open);
    for (std::size_t start = open + 1; start < text.size() - 1;) {
        char* end = nullptr;
        call.arguments.push_back(std::strtoll(text.c_str() + start, &end, 10));
        FUZZ_CHECK(end != text.c_str() + start);
        start = static_cast<std::size_t>(end - text.c_str()) + 1;
    }
    return call;
}

// Arguments [first, first + count) of `call` are percentages.
inline void checkPercentages(const RecordedCall& call, std::size_t first, std::size_t count) {
    FUZZ_CHECK(call.arguments.size() >= first + count);
    for (std::size_t i = first; i < first + count; ++i)
        FUZZ_CHECK(call.arguments[i] >= 0 && call.arguments[i] <= 100);
}

using CellSet = std::array<bool, lumo::sdk::kBitmapKeys>;

// Each cell is untouched (all zero) or painted (alpha 255), and cells outside `mayLight` are
// untouched or painted dark.
inline void checkBitmap(const lumo::lighting::KeyBitmap& bitmap, const CellSet& mayLight) {
    for (int cell = 0; cell < lumo::sdk::kBitmapKeys; ++cell) {
        const unsigned char* bytes = &bitmap[static_cast<std::size_t>(cell) * 4];
        const bool dark = bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0;
        FUZZ_CHECK(bytes[3] == 255 || (bytes[3] == 0 && dark));
        FUZZ_CHECK(mayLight[cell] || dark);
    }
}

inline void addCells(CellSet& cells, int first, int count) {
    for (int cell = first; cell < first + count; ++cell) cells.at(cell) = true;
}
