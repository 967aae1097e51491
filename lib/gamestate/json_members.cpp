#include "gamestate/json_members.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

namespace lumo::gamestate {

const nlohmann::json* findMember(const nlohmann::json& object, std::string_view name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

nlohmann::json* findMember(nlohmann::json& object, std::string_view name) {
    return const_cast<nlohmann::json*>(findMember(std::as_const(object), name));
}

int numberToInt(const nlohmann::json& number) {
    // get<int>() would cast unchecked; out-of-range doubles make that undefined.
    if (number.is_number_unsigned()) {
        const auto value = number.get<std::uint64_t>();
        return value > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
    }
    if (number.is_number_integer()) {
        const auto value = number.get<std::int64_t>();
        if (value > INT_MAX) return INT_MAX;
        if (value < INT_MIN) return INT_MIN;
        return static_cast<int>(value);
    }
    if (number.is_number_float()) {
        const double value = std::trunc(number.get<double>());
        if (std::isnan(value)) return 0;
        if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
        if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
        return static_cast<int>(value);
    }
    return 0;
}

int intMember(const nlohmann::json& object, std::string_view name, int fallback) {
    const nlohmann::json* member = findMember(object, name);
    return member != nullptr && member->is_number() ? numberToInt(*member) : fallback;
}

bool boolMember(const nlohmann::json& object, std::string_view name, bool fallback) {
    const nlohmann::json* member = findMember(object, name);
    return member != nullptr && member->is_boolean() ? member->get<bool>() : fallback;
}

std::string_view stringMember(const nlohmann::json& object, std::string_view name,
                              std::string_view fallback) {
    const nlohmann::json* member = findMember(object, name);
    return member != nullptr && member->is_string() ? std::string_view(member->get_ref<const std::string&>())
                                                    : fallback;
}

std::optional<double> numberMember(const nlohmann::json& object, std::string_view name) {
    const nlohmann::json* member = findMember(object, name);
    if (member == nullptr || !member->is_number()) return std::nullopt;
    return member->get<double>();
}

}  // namespace lumo::gamestate
