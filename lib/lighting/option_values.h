#pragma once

#include <span>

namespace lumo::lighting {

// An option colour: channels 0-255 as the option service hands them over.
struct OptionColor {
    int red;
    int green;
    int blue;
    bool operator==(const OptionColor&) const = default;
};

// An option path ("colors/dire") or group ("colors") with the label the SDK's host shows.
struct OptionLabel {
    const wchar_t* path;
    const wchar_t* label;
};

// Sets every label in order through LumoSetConfigOptionLabel.
void setOptionLabels(std::span<const OptionLabel> labels);

// One read of an option through the SDK into `value`, which holds the default on entry and
// the user's value on return (unchanged without an SDK). True when the value changed: a
// colour when any channel differs, a switch when its byte differs, a number unless both
// doubles compare equal (a not-a-number on either side is a change).
bool readOption(const wchar_t* path, OptionColor& value);
bool readOption(const wchar_t* path, bool& value);
bool readOption(const wchar_t* path, double& value);

}  // namespace lumo::lighting
