#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace lumo::sdk_service {

// Text of `value` on one line. Text that is not valid UTF-8 is written with replacement
// characters instead of throwing, so a caller's odd bytes cannot make a call fail.
inline std::string dumpJson(const nlohmann::ordered_json& value, int indent = -1) {
    return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace lumo::sdk_service
