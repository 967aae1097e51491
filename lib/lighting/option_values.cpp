#include "lighting/option_values.h"

#include <cstring>

#include "lighting/lumo_binding.h"

namespace lumo::lighting {

void setOptionLabels(std::span<const OptionLabel> labels) {
    for (const OptionLabel& option : labels) LumoSetConfigOptionLabel(option.path, option.label);
}

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

}  // namespace lumo::lighting
