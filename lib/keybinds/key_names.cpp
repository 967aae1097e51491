#include "keybinds/key_names.h"

#include <charconv>
#include <iterator>

#include "lighting/keyboard_layout.h"
#include "text/ascii.h"

namespace lumo::keybinds {
namespace {

struct NamedKey {
    const char* name;
    int hidCode;  // USB HID keyboard usage, which the layout knows every key by
};

// Letters and digits are computed; these are the engine's other names.
// clang-format off
constexpr NamedKey kNamedKeys[] = {
    {"ENTER", 40},        {"ESCAPE", 41},      {"BACKSPACE", 42},    {"TAB", 43},
    {"SPACE", 44},        {"-", 45},           {"=", 46},            {"[", 47},
    {"]", 48},            {"\\", 49},          {"SEMICOLON", 51},    {";", 51},
    {"'", 52},            {"`", 53},           {",", 54},            {".", 55},
    {"/", 56},            {"CAPSLOCK", 57},    {"SCROLLLOCK", 71},   {"PAUSE", 72},
    {"INS", 73},          {"HOME", 74},        {"PGUP", 75},         {"DEL", 76},
    {"END", 77},          {"PGDN", 78},        {"RIGHTARROW", 79},   {"LEFTARROW", 80},
    {"DOWNARROW", 81},    {"UPARROW", 82},     {"NUMLOCK", 83},      {"APP", 101},
    {"CTRL", 224},        {"SHIFT", 225},      {"ALT", 226},         {"LWIN", 227},
    {"RCTRL", 228},       {"RSHIFT", 229},     {"RALT", 230},        {"RWIN", 231},
    // The key left of 1, which Nordic layouts print as the section sign.
    {"SECTION_SIGN", 53},
    // The keypad: Counter-Strike names the keys by their navigation use, Dota 2 by digit.
    {"KP_SLASH", 84},     {"KP_DIVIDE", 84},   {"KP_MULTIPLY", 85},  {"KP_MINUS", 86},
    {"KP_PLUS", 87},      {"KP_ENTER", 88},    {"KP_END", 89},       {"KP_1", 89},
    {"KP_DOWNARROW", 90}, {"KP_2", 90},        {"KP_PGDN", 91},      {"KP_3", 91},
    {"KP_LEFTARROW", 92}, {"KP_4", 92},        {"KP_5", 93},         {"KP_RIGHTARROW", 94},
    {"KP_6", 94},         {"KP_HOME", 95},     {"KP_7", 95},         {"KP_UPARROW", 96},
    {"KP_8", 96},         {"KP_PGUP", 97},     {"KP_9", 97},         {"KP_INS", 98},
    {"KP_0", 98},         {"KP_DEL", 99},      {"KP_DECIMAL", 99},
};
// clang-format on

constexpr std::string_view kScancodePrefix = "scancode";

std::optional<int> hidCodeOf(std::string_view name) {
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z') return 4 + (c - 'a');
        if (c >= 'A' && c <= 'Z') return 4 + (c - 'A');
        if (c >= '1' && c <= '9') return 30 + (c - '1');
        if (c == '0') return 39;
    }
    // F1 to F12; the F13 to F24 some players bind have no key here.
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int number = 0;
        const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), number);
        if (error == std::errc() && end == name.data() + name.size() && name[1] != '0' && number >= 1 &&
            number <= 12)
            return 57 + number;
    }
    if (util::startsWithIgnoringAsciiCase(name, kScancodePrefix)) {
        const std::string_view digits = name.substr(kScancodePrefix.size());
        int code = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
            return std::nullopt;
        return code;
    }
    for (const NamedKey& key : kNamedKeys)
        if (util::equalsIgnoringAsciiCase(key.name, name)) return key.hidCode;
    return std::nullopt;
}

}  // namespace

std::optional<int> cellOfKeyName(std::string_view name) {
    const std::optional<int> hid = hidCodeOf(name);
    if (!hid) return std::nullopt;
    const lighting::LayoutKey* key = lighting::keyWithHidCode(*hid);
    if (key == nullptr) return std::nullopt;
    return key->cell;
}

}  // namespace lumo::keybinds
