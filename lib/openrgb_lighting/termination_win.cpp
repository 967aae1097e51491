// Windows: a terminated process runs nothing, and these programs have no window to be asked
// to close through, so there is nothing to hook.
#include "openrgb_lighting/termination.h"

void runBeforeTermination(void (*)()) {}
