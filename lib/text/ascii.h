#pragma once

#include <string>
#include <string_view>

// ASCII-only text rules for the formats the programs read (registry exports, Valve's KeyValues,
// HTTP headers): case folds only A-Z, and blanks are spaces and tabs. Locale-free on purpose.

namespace lumo::util {

char lowerAscii(char c);
std::string lowercaseAscii(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

bool isBlank(char c);
// Without the spaces and tabs at both ends; points into `text`.
std::string_view trimBlanks(std::string_view text);

}  // namespace lumo::util
