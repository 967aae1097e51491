#include "registry/registry_file.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "text/ascii.h"
#include "registry/registry.h"
#include "text/strings.h"
#include "text/utf.h"

namespace lumo::util {
namespace {

// The Windows read queries into 260 UTF-16 units, terminator included.
constexpr std::size_t kMaxValueUnits = 260;

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool allHex(std::string_view text) { return std::all_of(text.begin(), text.end(), isHexDigit); }

// Real regedit exports are UTF-16LE with a byte-order mark; hand-written files are UTF-8.
std::optional<std::string> decodeText(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        if (bytes.size() % 2 != 0) return std::nullopt;
        std::u16string units;
        for (std::size_t i = 2; i < bytes.size(); i += 2) {
            units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        if (units.find(u'\0') != std::u16string::npos) return std::nullopt;
        std::string utf8 = toUtf8(units.c_str());
        if (utf8.empty() && !units.empty()) return std::nullopt;
        return utf8;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return std::string(bytes);
}

// Reads a quoted string at the start of `text` (which begins with '"') and removes it from
// `text`. Only \\ and \" are escapes; anything else, or a missing closing quote, fails.
std::optional<std::string> takeQuoted(std::string_view& text) {
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\') {
            if (++i == text.size() || (text[i] != '\\' && text[i] != '"')) return std::nullopt;
            c = text[i];
        }
        out += c;
    }
    return std::nullopt;
}

// "01,02,ff" (possibly empty); blanks around the bytes are allowed.
bool isHexByteList(std::string_view text) {
    text = trimBlanks(text);
    if (text.empty()) return true;
    while (true) {
        std::size_t comma = text.find(',');
        std::string_view byte = trimBlanks(text.substr(0, comma));
        if (byte.size() != 2 || !allHex(byte)) return false;
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

enum class DataKind { invalid, string, other, deletion };

// Classifies the data after '='; for strings `text` receives the resolved text.
DataKind parseData(std::string_view data, std::string& text) {
    data = trimBlanks(data);
    if (!data.empty() && data.front() == '"') {
        std::optional<std::string> quoted = takeQuoted(data);
        if (!quoted || !trimBlanks(data).empty()) return DataKind::invalid;
        text = std::move(*quoted);
        return DataKind::string;
    }
    if (data == "-") return DataKind::deletion;
    if (startsWithIgnoringAsciiCase(data, "dword:")) {
        std::string_view digits = data.substr(6);
        return !digits.empty() && digits.size() <= 8 && allHex(digits) ? DataKind::other : DataKind::invalid;
    }
    if (startsWithIgnoringAsciiCase(data, "hex")) {
        std::size_t colon = data.find(':');
        if (colon == std::string_view::npos) return DataKind::invalid;
        std::string_view type = data.substr(3, colon - 3);
        // hex: or hex(n): with a hexadecimal type number.
        bool typeOk = type.empty() || (type.size() > 2 && type.front() == '(' && type.back() == ')' &&
                                       allHex(type.substr(1, type.size() - 2)));
        return typeOk && isHexByteList(data.substr(colon + 1)) ? DataKind::other : DataKind::invalid;
    }
    return DataKind::invalid;
}

void deleteKeyTree(RegistryKeys& keys, const std::string& key) {
    for (auto it = keys.begin(); it != keys.end();) {
        const std::string& name = it->first;
        bool inTree =
            equalsIgnoringAsciiCase(name, key) ||
            (startsWithIgnoringAsciiCase(name, key) && name.size() > key.size() && name[key.size()] == '\\');
        it = inTree ? keys.erase(it) : std::next(it);
    }
}

namespace {
// A template, so that the branch for the other width of wchar_t is never compiled.
template <typename Char>
std::size_t utf16Units(const std::basic_string<Char>& text) {
    if constexpr (sizeof(Char) == 2) {
        return text.size();
    } else {
        return text.size() + static_cast<std::size_t>(
                                 std::count_if(text.begin(), text.end(), [](Char c) { return c > 0xFFFF; }));
    }
}
}  // namespace

std::size_t utf16Length(const std::wstring& text) { return utf16Units(text); }

std::string_view rootName(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::localMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::currentUser:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::classesRoot:
        return "HKEY_CLASSES_ROOT";
    case RegistryRoot::users:
        return "HKEY_USERS";
    case RegistryRoot::none:
        break;
    }
    return {};
}

}  // namespace

bool RegistryNameLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
}

std::optional<RegistryKeys> parseRegistryFile(std::string_view bytes) {
    std::optional<std::string> text = decodeText(bytes);
    if (!text) return std::nullopt;

    RegistryKeys keys;
    bool headerSeen = false;
    RegistryValues* section = nullptr;  // null before the first section and under a [-key]
    bool inSection = false;

    const std::vector<std::string_view> lines = splitLines(*text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = trimBlanks(lines[i]);
        if (line.empty() || line.front() == ';') continue;
        if (!headerSeen) {
            if (line != "Windows Registry Editor Version 5.00" && line != "REGEDIT4") return std::nullopt;
            headerSeen = true;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) return std::nullopt;
            std::string_view key = line.substr(1, line.size() - 2);
            inSection = true;
            if (key.front() == '-') {
                key.remove_prefix(1);
                if (key.empty()) return std::nullopt;
                deleteKeyTree(keys, std::string(key));
                section = nullptr;
            } else {
                section = &keys[std::string(key)];
            }
            continue;
        }
        if (line.front() != '"' && line.front() != '@') return std::nullopt;
        if (!inSection) return std::nullopt;

        std::string name;
        std::string_view rest = line;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else {
            std::optional<std::string> quoted = takeQuoted(rest);
            if (!quoted) return std::nullopt;
            name = std::move(*quoted);
        }
        rest = trimBlanks(rest);
        if (rest.empty() || rest.front() != '=') return std::nullopt;
        rest.remove_prefix(1);

        // Binary data wraps over lines that end in a backslash.
        std::string data(trimBlanks(rest));
        while (!data.empty() && data.back() == '\\' && data.front() != '"') {
            if (++i == lines.size()) return std::nullopt;
            data.pop_back();
            data += trimBlanks(lines[i]);
        }

        RegistryValue value;
        switch (parseData(data, value.text)) {
        case DataKind::invalid:
            return std::nullopt;
        case DataKind::string:
            value.isString = true;
            break;
        case DataKind::other:
            break;
        case DataKind::deletion:
            if (section != nullptr) section->erase(name);
            continue;
        }
        if (section != nullptr) (*section)[name] = std::move(value);
    }
    if (!headerSeen) return std::nullopt;
    return keys;
}

std::string findRegistryString(const RegistryKeys& keys, const std::string& keyPath,
                               const std::string& valueName, int extraFlags) {
    std::string subKey;
    const RegistryRoot root = parseRegistryRoot(keyPath, &subKey);
    if (root == RegistryRoot::none) return {};

    // 32-bit programs see HKEY_LOCAL_MACHINE\SOFTWARE through its WOW6432Node branch.
    if ((extraFlags & kRegistryView32) != 0 && root == RegistryRoot::localMachine &&
        (equalsIgnoringAsciiCase(subKey, "SOFTWARE") || startsWithIgnoringAsciiCase(subKey, "SOFTWARE\\"))) {
        subKey.insert(8, "\\WOW6432Node");
    }

    const auto key = keys.find(std::string(rootName(root)) + "\\" + subKey);
    if (key == keys.end()) return {};
    const auto value = key->second.find(valueName);
    if (value == key->second.end() || !value->second.isString) return {};

    std::string text = value->second.text.substr(0, value->second.text.find('\0'));
    const std::wstring wide = fromUtf8(text);
    if (wide.empty() && !text.empty()) return {};
    if (utf16Length(wide) + 1 > kMaxValueUnits) return {};
    return text;
}

}  // namespace lumo::util
