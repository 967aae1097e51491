// reportOnce for the options-file fuzzer: problems are checked for a text and dropped.
#include "diagnostics.h"

#include "fuzz_check.h"

namespace lumo::simulator {

void reportOnce(const std::string& problem) { FUZZ_CHECK(!problem.empty()); }

}  // namespace lumo::simulator
