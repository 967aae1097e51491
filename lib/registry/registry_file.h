#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace lumo::util {

// Orders names ignoring ASCII case, as the registry compares key and value names.
struct RegistryNameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// One value. Only string values ("Name"="text") carry text; dword:, hex: and hex(n):
// values are kept as present but not strings.
struct RegistryValue {
    bool isString = false;
    std::string text;  // UTF-8, escapes resolved
};

// Values by name; "" is the key's default value (written @ in the file).
using RegistryValues = std::map<std::string, RegistryValue, RegistryNameLess>;
// Keys by full path, root name first ("HKEY_LOCAL_MACHINE\SOFTWARE\Valve\Steam").
using RegistryKeys = std::map<std::string, RegistryValues, RegistryNameLess>;

// Parses the registry export format: a "Windows Registry Editor Version 5.00" (or "REGEDIT4")
// header, [key] sections, "name"=value and @=value lines, "\\" and "\"" escapes in quoted text,
// hex lists continued with a trailing backslash, [-key] and "name"=- deletions. Accepts UTF-8
// with or without a byte-order mark and UTF-16LE with its mark, CRLF line ends, blank lines
// and ';' comments. Returns nullopt for anything else: a malformed file yields no keys at all.
std::optional<RegistryKeys> parseRegistryFile(std::string_view text);

// Looks a string value up the way the Windows registry read does: the root and sub-key come
// from parseRegistryRoot, kRegistryView32 in `extraFlags` redirects HKEY_LOCAL_MACHINE\SOFTWARE
// to its WOW6432Node branch, and text stops at its first NUL. Empty for a missing key or
// value, a value that is not a string, and a value whose UTF-16 form with terminator exceeds
// 520 bytes.
std::string findRegistryString(const RegistryKeys& keys, const std::string& keyPath,
                               const std::string& valueName, int extraFlags);

}  // namespace lumo::util
