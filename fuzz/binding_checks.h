#pragma once

#include <algorithm>
#include <iterator>
#include <map>
#include <string>

#include "cs_go_integration/key_bindings.h"
#include "fuzz_check.h"

namespace roundglow {

// What every binding source must leave in roundglow's binding table: exactly the commands of
// `defaults`, each on a usable key (not empty, not an arrow key) that is its default key or
// one `cameFromInput` accepts.
template <class Accept>
void checkBindingTable(const std::map<std::string, std::string>& defaults, Accept cameFromInput) {
    FUZZ_CHECK(bindingTable.size() == defaults.size());
    auto original = defaults.begin();
    for (const auto& [command, key] : bindingTable) {
        FUZZ_CHECK(command == original->first);
        FUZZ_CHECK(!key.empty());
        FUZZ_CHECK(std::find(std::begin(kArrowKeys), std::end(kArrowKeys), key) == std::end(kArrowKeys));
        FUZZ_CHECK(key == original->second || cameFromInput(key));
        ++original;
    }
}

}  // namespace roundglow
