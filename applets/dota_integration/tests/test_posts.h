#pragma once

#include <string>

#include "files.h"

namespace heroglow {

// Posts as the receiver hands them over: one wide character per byte received.
inline std::wstring widenBytes(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (const char byte : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    return text;
}

// A recorded game-state post from tests/data.
inline std::string readPostFile(const std::string& name) {
    return lumo::test::readTestData(HEROGLOW_TEST_DATA, name);
}

}  // namespace heroglow
