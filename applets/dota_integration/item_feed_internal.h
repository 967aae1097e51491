#pragma once

// The item feed's download step, for its own source and its tests only.

#include <cstddef>
#include <string>

namespace heroglow {

// libcurl write callback: appends size * count bytes to `text`; 0 (abort) when it is null or
// the text would grow beyond 32 MiB, which then is emptied.
std::size_t appendToText(char* data, std::size_t size, std::size_t count, std::string* text);

}  // namespace heroglow
