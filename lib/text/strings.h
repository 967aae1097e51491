#pragma once

#include <string>
#include <string_view>
#include <vector>

// General text helpers, locale-free like the rest of lib/text.

namespace lumo::util {

// True when strtod consumes the whole text and it starts with neither white space nor a letter.
bool isNumber(const std::string& text);

// Every occurrence of `from` (never empty) replaced by `to`; inserted text is not searched again.
std::string replaceAll(std::string text, const char* from, const char* to);

// The lines of `text`, split at '\n', each without a '\r' before it; pointing into `text`. A
// last line without a line end counts; a line end at the very end starts no further line.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace lumo::util
