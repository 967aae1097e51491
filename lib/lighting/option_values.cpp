#include "lighting/option_values.h"

#include <cstring>
#include <type_traits>

#include "lighting/lumo_binding.h"

namespace lumo::lighting {

bool readOption(const wchar_t* path, OptionColor& value) {
    const OptionColor before = value;
    LumoGetConfigOptionColor(path, &value.red, &value.green, &value.blue);
    return value != before;
}

bool readOption(const wchar_t* path, bool& value) {
    // Compared as bytes: the service may hand back any byte, and one that is neither 0 nor 1
    // is still a change from what was there.
    unsigned char before;
    std::memcpy(&before, &value, 1);
    LumoGetConfigOptionBool(path, &value);
    unsigned char after;
    std::memcpy(&after, &value, 1);
    return after != before;
}

bool readOption(const wchar_t* path, double& value) {
    const double before = value;
    LumoGetConfigOptionNumber(path, &value);
    return !(value == before);
}

void restoreOptionDefaults(std::span<const Option> options) {
    for (const Option& option : options) {
        std::visit(
            [](const auto& setting) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(setting)>, std::monostate>)
                    *setting.variable = setting.defaultValue;
            },
            option.setting);
    }
}

bool readOptions(std::span<const Option> options, bool stopAtChange) {
    bool changed = false;
    for (const Option& option : options) {
        const bool changedHere = std::visit(
            [&](const auto& setting) {
                if constexpr (std::is_same_v<std::decay_t<decltype(setting)>, std::monostate>)
                    return false;
                else
                    return readOption(option.path, *setting.variable);
            },
            option.setting);
        changed = changed || changedHere;
        if (changed && stopAtChange) break;
    }
    return changed;
}

void setOptionLabels(std::span<const Option> options) {
    for (const Option& option : options) LumoSetConfigOptionLabel(option.path, option.label);
}

}  // namespace lumo::lighting
