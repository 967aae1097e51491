#pragma once

namespace heroglow {

// heroglow's start-up and serving loop; returns the process exit code (0 when the listener
// cannot be opened, -1 when accepting fails).
int runHeroglow();

}  // namespace heroglow
