// reportOnce for the options-file fuzzer: problems are checked for a text and dropped.
#include "sdk_service/diagnostics.h"

#include "fuzz_check.h"

namespace lumo::sdk_service {

void reportOnce(const std::string& problem) { FUZZ_CHECK(!problem.empty()); }

}  // namespace lumo::sdk_service
