// Windows: a terminated process runs nothing, and these programs have no window to be asked
// to close through, so there is nothing to watch.
#include "util/termination.h"

namespace lumo::util {

bool watchTerminationSignals() { return false; }

bool runBeforeTermination(void (*)()) { return false; }

}  // namespace lumo::util
