#pragma once

#include <span>
#include <variant>

namespace lumo::lighting {

// An option colour: channels 0-255 as the option service hands them over.
struct OptionColor {
    int red;
    int green;
    int blue;
    bool operator==(const OptionColor&) const = default;
};

// One read of an option through the SDK into `value`, which holds the default on entry and
// the user's value on return (unchanged without an SDK). True when the value changed: a
// colour when any channel differs, a switch when its byte differs, a number unless both
// doubles compare equal (a not-a-number on either side is a change).
bool readOption(const wchar_t* path, OptionColor& value);
bool readOption(const wchar_t* path, bool& value);
bool readOption(const wchar_t* path, double& value);

// The variable that holds an option's value, and the value it has before the first read.
template <typename Value>
struct OptionSetting {
    Value* variable;
    Value defaultValue;
};

// One row of a program's options table: the option's path ("colors/dire"), the label the
// SDK's host shows, and its setting; a group ("colors") has a label and no setting. The table
// is the only place an option's default is written.
struct Option {
    const wchar_t* path;
    const wchar_t* label;
    std::variant<std::monostate, OptionSetting<OptionColor>, OptionSetting<bool>, OptionSetting<double>>
        setting{};
};

// Every variable of `options` back at its default.
void restoreOptionDefaults(std::span<const Option> options);

// Reads the options in table order (groups have no value) through readOption. With
// `stopAtChange` the reads end at the first option whose value changed, and the options after
// it keep their values until a later read. True when any value changed.
bool readOptions(std::span<const Option> options, bool stopAtChange);

// Sets the label of every row, groups included, in table order through
// LumoSetConfigOptionLabel.
void setOptionLabels(std::span<const Option> options);

}  // namespace lumo::lighting
