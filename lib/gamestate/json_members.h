#pragma once

#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

namespace lumo::gamestate {

// Tolerant member reads for game-state posts: a member that is missing, or of another type
// than asked for, yields the fallback. None of these throws.

// The member `name` of `object`; null when `object` is not an object or has no such member.
const nlohmann::json* findMember(const nlohmann::json& object, std::string_view name);
nlohmann::json* findMember(nlohmann::json& object, std::string_view name);

// A JSON number as a 32-bit int: a fraction is cut toward zero and values beyond the int
// range stop at its ends, so 0.4 reads 0, -2.5 reads -2 and 1e300 reads INT_MAX.
int numberToInt(const nlohmann::json& number);

int intMember(const nlohmann::json& object, std::string_view name, int fallback);
bool boolMember(const nlohmann::json& object, std::string_view name, bool fallback);
// Points into `object`; valid while it lives.
std::string_view stringMember(const nlohmann::json& object, std::string_view name, std::string_view fallback);
// Any JSON number as a double (integers convert exactly up to 2^53); nullopt for a missing
// member or one of another type.
std::optional<double> numberMember(const nlohmann::json& object, std::string_view name);

}  // namespace lumo::gamestate
