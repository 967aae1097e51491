// The registry file reader: a file it accepts, written back out in the export format, reads as
// the same keys and values, and the look-up hands back a stored text or nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "text.h"
#include "registry/registry.h"
#include "registry/registry_file.h"
#include "text/utf.h"

using lumo::util::RegistryKeys;
using lumo::util::RegistryValues;

namespace {

std::string write(const RegistryKeys& keys) {
    std::string text = "Windows Registry Editor Version 5.00\n";
    for (const auto& [key, values] : keys) {
        text += "\n[" + key + "]\n";
        for (const auto& [name, value] : values) {
            text += name.empty() ? std::string("@") : '"' + lumo::test::regQuoted(name) + '"';
            text += value.isString ? "=\"" + lumo::test::regQuoted(value.text) + "\"\n" : "=dword:00000000\n";
        }
    }
    return text;
}

bool sameValues(const RegistryValues& a, const RegistryValues& b) {
    if (a.size() != b.size()) return false;
    auto other = b.begin();
    for (const auto& [name, value] : a) {
        if (name != other->first || value.isString != other->second.isString ||
            value.text != other->second.text)
            return false;
        ++other;
    }
    return true;
}

bool sameKeys(const RegistryKeys& a, const RegistryKeys& b) {
    if (a.size() != b.size()) return false;
    auto other = b.begin();
    for (const auto& [key, values] : a) {
        if (key != other->first || !sameValues(values, other->second)) return false;
        ++other;
    }
    return true;
}

bool storedUnder(const RegistryKeys& keys, const std::string& name, const std::string& text) {
    for (const auto& [key, values] : keys) {
        const auto value = values.find(name);
        if (value != values.end() && value->second.isString &&
            value->second.text.substr(0, value->second.text.find('\0')) == text)
            return true;
    }
    return false;
}

std::size_t utf16Units(const std::string& utf8) {
    std::size_t units = 0;
    for (const wchar_t c : lumo::util::fromUtf8(utf8)) units += static_cast<char32_t>(c) > 0xFFFF ? 2 : 1;
    return units;
}

// Whatever key the path names (root spellings, the 32-bit view), a text found is a stored
// string of that name up to its first NUL, short enough for the Windows read.
void checkLookUp(const RegistryKeys& keys, const std::string& key, const std::string& name) {
    for (const int flags : {0, lumo::util::kRegistryView32}) {
        const std::string found = lumo::util::findRegistryString(keys, key, name, flags);
        if (found.empty()) continue;
        FUZZ_CHECK(storedUnder(keys, name, found));
        FUZZ_CHECK(utf16Units(found) + 1 <= 260);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto keys = lumo::util::parseRegistryFile(bytes);
    if (!keys) return 0;

    for (const auto& [key, values] : *keys) {
        FUZZ_CHECK(!key.empty() && key.front() != '-');
        FUZZ_CHECK(key.find('\n') == std::string::npos);
        for (const auto& [name, value] : values) {
            FUZZ_CHECK(name.find('\n') == std::string::npos && value.text.find('\n') == std::string::npos);
            checkLookUp(*keys, key, name);
        }
    }

    const auto again = lumo::util::parseRegistryFile(write(*keys));
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(sameKeys(*keys, *again));
    return 0;
}
