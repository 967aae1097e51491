#include "dota_integration/key_names.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr KeyName kKeyNames[] = {
    {L"`", 21},    {L"1", 22},      {L"2", 23}, {L"3", 24},     {L"4", 25},   {L"5", 26}, {L"6", 27},
    {L"7", 28},    {L"8", 29},      {L"9", 30}, {L"0", 31},     {L"TAB", 42}, {L"Q", 43}, {L"W", 44},
    {L"E", 45},    {L"R", 46},      {L"T", 47}, {L"Y", 48},     {L"U", 49},   {L"I", 50}, {L"O", 51},
    {L"P", 52},    {L"A", 64},      {L"S", 65}, {L"D", 66},     {L"F", 67},   {L"G", 68}, {L"H", 69},
    {L"J", 70},    {L"K", 71},      {L"L", 72}, {L"SHIFT", 85}, {L"Z", 86},   {L"X", 87}, {L"C", 88},
    {L"V", 89},    {L"B", 90},      {L"N", 91}, {L"M", 92},     {L",", 93},   {L".", 94}, {L"CTRL", 105},
    {L"ALT", 108}, {L"SPACE", 110},
};
static_assert(std::size(kKeyNames) == 44);

constexpr bool namesFitCapacity() {
    for (const KeyName& key : kKeyNames) {
        if (std::wstring_view(key.name).size() + 1 > static_cast<std::size_t>(kKeyNameCapacity)) {
            return false;
        }
    }
    return true;
}
static_assert(namesFitCapacity(), "a key-input buffer must hold every known name");

}  // namespace

std::span<const KeyName> keyNameTable() { return kKeyNames; }

int keyPositionForName(std::wstring_view name) {
    const auto found = std::find_if(std::begin(kKeyNames), std::end(kKeyNames),
                                    [name](const KeyName& key) { return name == key.name; });
    return found == std::end(kKeyNames) ? 0 : found->position;
}
